// Opening and reading a file the way a style file is read, on each system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace stylefile {

// Opens path for reading without blocking in the open (a FIFO or a device never waits) and
// keeps it only if it is a regular file. False, with reason: the system's words, or what the
// path is ("is a directory").
bool openRegularFile(const std::string& path, int* descriptor, std::uint64_t* size,
                     std::string* reason);
long readFile(int descriptor, void* buffer, std::size_t size);
// What a file that is no regular file is, from its st_mode: "is a directory", "is a FIFO", ...
const char* kindOfFile(unsigned mode);
void closeFile(int descriptor);

} // namespace stylefile
