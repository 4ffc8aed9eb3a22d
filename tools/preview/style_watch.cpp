#include "tools/preview/style_watch.h"

#include <thread>

namespace preview {

FileStamp stampOf(const std::string& path) {
    FileStamp stamp;
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) {
        return stamp;
    }
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return stamp;
    }
    stamp.exists = true;
    stamp.modified = modified;
    stamp.size = size;
    return stamp;
}

int watchStyleFile(const std::string& path, std::chrono::milliseconds interval,
                   const std::atomic<bool>& stop, int limit, const std::function<void()>& changed) {
    int changes = 0;
    FileStamp last = stampOf(path);
    while (!stop && (limit <= 0 || changes < limit)) {
        std::this_thread::sleep_for(interval);
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
