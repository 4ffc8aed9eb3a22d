#include "tools/preview/style_watch.h"

#include <poll.h>

namespace preview {

FileStamp stampOf(const std::string& path) {
    std::error_code timeError, sizeError;
    const FileStamp stamp = std::make_pair(std::filesystem::last_write_time(path, timeError),
                                           std::filesystem::file_size(path, sizeError));
    return timeError || sizeError ? std::nullopt : stamp;
}

int watchStyleFile(const std::string& path, std::chrono::milliseconds interval,
                   const std::atomic<bool>& stop, int limit, const std::function<void()>& changed) {
    int changes = 0;
    FileStamp last = stampOf(path);
    while (!stop && (limit <= 0 || changes < limit)) {
        // A signal ends the wait early (a restarting sleep would not), so a stop it sets is seen
        // at once.
        ::poll(nullptr, 0, static_cast<int>(interval.count()));
        const FileStamp now = stampOf(path);
        if (!stop && now != last) {
            last = now;
            ++changes;
            changed();
        }
    }
    return changes;
}

} // namespace preview
