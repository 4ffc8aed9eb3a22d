#include "tools/preview/style_watch.h"

#include <ctime>

namespace preview {

FileStamp stampOf(const std::string& path) {
    std::error_code timeError, sizeError;
    const auto modified = std::filesystem::last_write_time(path, timeError);
    const auto size = std::filesystem::file_size(path, sizeError);
    if (timeError || sizeError) {
        return {};
    }
    return {true, modified, size};
}

int watchStyleFile(const std::string& path, std::chrono::milliseconds interval,
                   const std::atomic<bool>& stop, int limit, const std::function<void()>& changed) {
    int changes = 0;
    FileStamp last = stampOf(path);
    // A signal ends a wait early (a restarting sleep would not), so a stop it sets is seen at once.
    const auto count = interval.count();
    const timespec pauseFor{static_cast<time_t>(count / 1000),
                            static_cast<long>(count % 1000) * 1000000};
    while (!stop && (limit <= 0 || changes < limit)) {
        nanosleep(&pauseFor, nullptr);
        if (stop) {
            break;
        }
        const FileStamp now = stampOf(path);
        if (now != last) {
            last = now;
            ++changes;
            changed();
        }
    }
    return changes;
}

} // namespace preview
