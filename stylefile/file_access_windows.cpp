#include "stylefile/file_access.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace stylefile {

const char* kindOfFile(unsigned mode) {
    return (mode & _S_IFMT) == _S_IFDIR   ? "is a directory"
           : (mode & _S_IFMT) == _S_IFCHR ? "is a character device"
                                          : "is not a regular file";
}

bool openRegularFile(const std::string& path, int* descriptor, std::uint64_t* size,
                     std::string* reason) {
    const int file = ::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (file < 0) {
        *reason = std::strerror(errno);
        return false;
    }
    struct _stat64 status {};
    const bool stated = ::_fstat64(file, &status) == 0;
    if (!stated || (status.st_mode & _S_IFMT) != _S_IFREG) {
        *reason = stated ? kindOfFile(status.st_mode) : std::strerror(errno);
        ::_close(file);
        return false;
    }
    *descriptor = file;
    *size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

long readFile(int descriptor, void* buffer, std::size_t size) {
    const unsigned chunk = size > 0x10000000u ? 0x10000000u : static_cast<unsigned>(size);
    return ::_read(descriptor, buffer, chunk);
}

void closeFile(int descriptor) {
    ::_close(descriptor);
}

} // namespace stylefile
