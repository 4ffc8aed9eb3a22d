// Counts heap allocations in the benchmark binary: every malloc, calloc and realloc, which
// operator new goes through as well.
#pragma once

#include <cstddef>

namespace bench {

// Allocations since the program started.
std::size_t allocationCount();

} // namespace bench
