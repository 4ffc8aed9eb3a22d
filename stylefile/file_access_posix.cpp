#include "stylefile/file_access.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stylefile {

const char* kindOfFile(unsigned mode) {
    if (S_ISDIR(mode)) {
        return "is a directory";
    }
    if (S_ISFIFO(mode)) {
        return "is a FIFO";
    }
    if (S_ISCHR(mode)) {
        return "is a character device";
    }
    if (S_ISBLK(mode)) {
        return "is a block device";
    }
    if (S_ISSOCK(mode)) {
        return "is a socket";
    }
    return "is not a regular file";
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
    if (::fstat(file, &status) != 0) {
        *reason = std::strerror(errno);
        ::close(file);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        *reason = kindOfFile(status.st_mode);
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
