// Watching a style file for changes by polling its modification time and size.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace preview {

// A file's modification time and size; none while it is missing.
using FileStamp = std::optional<std::pair<std::filesystem::file_time_type, std::uintmax_t>>;

FileStamp stampOf(const std::string& path);

// Polls path every interval and calls changed() each time its stamp differs from the last one
// seen (the first look only records it). Returns when stop is set, or after limit changes when
// limit is positive; the result is the number of changes seen.
int watchStyleFile(const std::string& path, std::chrono::milliseconds interval,
                   const std::atomic<bool>& stop, int limit, const std::function<void()>& changed);

} // namespace preview
