#include "tools/preview/output_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace preview {

OutputFile::OutputFile(int descriptor) : descriptor_(descriptor) {
    if (::fcntl(descriptor, F_GETFD) < 0 && errno == EBADF) {
        closed_ = true;
        const int placeholder = ::open("/dev/null", O_RDWR);
        if (placeholder >= 0 && placeholder != descriptor) {
            ::dup2(placeholder, descriptor);
            ::close(placeholder);
        }
    }
    setp(buffer_, buffer_ + sizeof buffer_);
}

OutputFile::~OutputFile() {
    sync();
}

std::string OutputFile::reason() const {
    return std::strerror(error_);
}

int writeAll(int descriptor, const char* text, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, text, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return errno;
        }
        text += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

bool OutputFile::write(const char* text, std::size_t count) {
    if (error_ == 0) { // once failed, the rest is lost too
        error_ = closed_ ? EBADF : writeAll(descriptor_, text, count);
    }
    return error_ == 0;
}

bool OutputFile::flushBuffer() {
    const std::size_t count = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_, buffer_ + sizeof buffer_);
    return count == 0 || write(buffer_, count);
}

int OutputFile::overflow(int c) {
    if (!flushBuffer()) {
        return traits_type::eof();
    }
    if (c != traits_type::eof()) {
        *pptr() = static_cast<char>(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize OutputFile::xsputn(const char* text, std::streamsize count) {
    const auto size = static_cast<std::size_t>(count);
    if (size <= static_cast<std::size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), text, size);
        pbump(static_cast<int>(count));
        return count;
    }
    if (!flushBuffer() || !write(text, size)) {
        return 0;
    }
    return count;
}

int OutputFile::sync() {
    return flushBuffer() ? 0 : -1;
}

} // namespace preview
