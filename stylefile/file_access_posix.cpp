#include "stylefile/file_access.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stylefile {

const char* kindOfFile(unsigned mode) {
    return S_ISDIR(mode)    ? "is a directory"
           : S_ISFIFO(mode) ? "is a FIFO"
           : S_ISCHR(mode)  ? "is a character device"
           : S_ISBLK(mode)  ? "is a block device"
           : S_ISSOCK(mode) ? "is a socket"
                            : "is not a regular file";
}

bool openRegularFile(const std::string& path, int* descriptor, std::uint64_t* size,
                     std::string* reason) {
    // O_NONBLOCK: opening a FIFO with no writer, or a device, must not wait.
    const int file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        *reason = std::strerror(errno);
        return false;
    }
    struct stat status {};
    const bool stated = ::fstat(file, &status) == 0;
    if (!stated || !S_ISREG(status.st_mode)) {
        *reason = stated ? kindOfFile(status.st_mode) : std::strerror(errno);
        ::close(file);
        return false;
    }
    *descriptor = file;
    *size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

long readFile(int descriptor, void* buffer, std::size_t size) {
    return static_cast<long>(::read(descriptor, buffer, size));
}

void closeFile(int descriptor) {
    ::close(descriptor);
}

} // namespace stylefile
