#include "tools/preview/picture_file.h"

#include "stylefile/file_access.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace preview {
namespace {

namespace fs = std::filesystem;

// The file the picture replaces: path, or through a symbolic link the file it names.
std::string targetOf(const std::string& path) {
    std::error_code error;
    const fs::path named = fs::is_symlink(path, error) ? fs::canonical(path, error) : fs::path();
    return named.empty() || error ? path : named.string();
}

// Whether path names the same file as style: the same file on disk, or, where either is missing
// for now, the same name once made absolute and resolved.
bool sameFile(const std::string& path, const std::string& style) {
    std::error_code error, otherError;
    const bool same = fs::equivalent(path, style, error);
    if (!error) {
        return same; // both there: one file, or two
    }
    const fs::path one = fs::weakly_canonical(fs::absolute(path), error);
    const fs::path other = fs::weakly_canonical(fs::absolute(style), otherError);
    return !error && !otherError && one == other;
}

// Whether the regular file at path is empty or starts as a picture of kind does.
bool holdsPictureOrNothing(const std::string& path, PictureKind kind) {
    char head[16] = {};
    const int file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const ssize_t count = file < 0 ? -1 : ::read(file, head, sizeof head);
    if (file >= 0) {
        ::close(file);
    }
    if (count <= 0 || kind == PictureKind::Style || kind == PictureKind::NewStyle) {
        return count >= 0;
    }
    std::string_view start(head, static_cast<std::size_t>(count));
    if (kind == PictureKind::Png) {
        return start.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8);
    }
    // After a byte order mark and white space: an XML declaration, a comment or doctype, or the
    // svg element itself.
    start.remove_prefix(start.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0);
    start.remove_prefix(std::min(start.find_first_not_of(" \t\r\n"), start.size()));
    return start.substr(0, 2) == "<?" || start.substr(0, 2) == "<!" || start.substr(0, 4) == "<svg";
}

} // namespace

std::string pictureRefusal(const std::string& path, PictureKind kind,
                           const std::vector<std::string>& styles, bool* slip) {
    bool unasked = false;
    bool& slipped = slip != nullptr ? *slip : unasked;
    slipped = true;
    const std::string target = targetOf(path);
    for (const std::string& written : {path, target, partialPictureOf(target)}) {
        for (const std::string& read : styles) {
            if (sameFile(written, read)) {
                return "is the style \"" + read + "\" this run reads";
            }
        }
    }
    struct stat status {};
    if (kind == PictureKind::NewStyle && ::lstat(path.c_str(), &status) == 0) {
        return "exists already; --force replaces it";
    }
    if (::stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        !holdsPictureOrNothing(target, kind)) {
        return std::string("holds no ") + (kind == PictureKind::Svg ? "SVG" : "PNG") +
               " picture, and a picture replaces only an earlier one";
    }
    slipped = false;
    if (::stat(target.c_str(), &status) == 0) {
        return S_ISREG(status.st_mode) ? "" : stylefile::kindOfFile(status.st_mode);
    }
    if (errno != ENOENT) {
        return std::strerror(errno);
    }
    // A new file: its folder must be there.
    const fs::path folder = fs::path(target).parent_path();
    std::error_code error;
    const bool isFolder = fs::is_directory(folder.empty() ? "." : folder, error);
    return error ? error.message() : isFolder ? "" : std::strerror(ENOTDIR);
}

std::string partialPictureOf(const std::string& path) {
    const fs::path place(path);
    return (place.parent_path() / ("." + place.filename().string() + ".partial")).string();
}

bool placePicture(const std::string& partial, const std::string& path, PictureKind kind,
                  const std::vector<std::string>& styles, std::string* reason) {
    *reason = pictureRefusal(path, kind, styles);
    const std::string target = targetOf(path);
    // A new file is linked into place, which fails where one has come meanwhile.
    if (reason->empty() &&
        (kind == PictureKind::NewStyle ? ::link(partial.c_str(), target.c_str())
                                       : ::rename(partial.c_str(), target.c_str())) != 0) {
        *reason = std::strerror(errno);
    }
    if (!reason->empty() || kind == PictureKind::NewStyle) {
        ::unlink(partial.c_str());
    }
    return reason->empty();
}

bool writePicture(const std::string& path, PictureKind kind, const std::string& content,
                  const std::vector<std::string>& styles, std::string* reason) {
    *reason = pictureRefusal(path, kind, styles);
    if (!reason->empty()) {
        return false;
    }
    const std::string target = targetOf(path);
    const std::string partial = partialPictureOf(target);
    ::unlink(partial.c_str()); // left by a run that was killed
    const int file =
        ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    int error = file < 0 ? errno : 0;
    // A picture drawn again keeps the permissions its file was given.
    struct stat old {};
    if (error == 0 && ::stat(target.c_str(), &old) == 0) {
        ::fchmod(file, old.st_mode & 07777);
    }
    // The partial file is a new regular file: a write is not cut short by a signal.
    for (std::size_t at = 0; at < content.size() && error == 0;) {
        const ssize_t wrote = ::write(file, content.data() + at, content.size() - at);
        error = wrote > 0 ? 0 : wrote == 0 ? EIO : errno;
        at += wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
    }
    if (file >= 0 && ::close(file) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        *reason = std::strerror(error);
        ::unlink(partial.c_str());
        return false;
    }
    return placePicture(partial, path, kind, styles, reason);
}

} // namespace preview
