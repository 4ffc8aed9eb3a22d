#include "stylefile/style_file.h"

#include "stylefile/file_access.h"

#include <cctype>
#include <cerrno>
#include <cstring>

namespace stylefile {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The next line of text, its ending (LF, CRLF or a lone CR) taken off text too.
std::string_view nextLine(std::string_view& text) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    std::size_t skip = end == std::string_view::npos ? text.size() : end + 1;
    if (end != std::string_view::npos && text[end] == '\r' && end + 1 < text.size() &&
        text[end + 1] == '\n') {
        ++skip;
    }
    text.remove_prefix(skip);
    return line;
}

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

} // namespace

StyleFile StyleFile::parse(std::string_view text, std::vector<StyleProblem>* problems) {
    StyleFile style;
    // Notepad starts its UTF-8 files with a byte-order mark; it is not part of the first key.
    if (text.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK) {
        text.remove_prefix(BYTE_ORDER_MARK.size());
    }
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::string_view line = trim(nextLine(text));
        if (line.empty() || line.front() == '!' || line.front() == '#') {
            continue;
        }
        const std::size_t colon = line.find(':');
        std::string_view name =
            colon == std::string_view::npos ? line : trim(line.substr(0, colon));
        if (colon == std::string_view::npos || name.empty()) {
            if (problems != nullptr) {
                problems->push_back({number, colon == std::string_view::npos
                                                 ? "not a \"key: value\" line, skipped"
                                                 : "no key before the colon, skipped"});
            }
            continue;
        }
        // Keys keep their colon, as the plug-in asks for them ("menu.hilite.color:").
        std::string key(name);
        key += ':';
        style.values_[lowerCase(key)] = style.lines_.size();
        style.lines_.push_back({number, std::move(key), std::string(trim(line.substr(colon + 1)))});
    }
    return style;
}

const std::string* StyleFile::find(std::string_view key) const {
    const StyleLine* line = lineOf(key);
    return line == nullptr ? nullptr : &line->value;
}

const StyleLine* StyleFile::lineOf(std::string_view key) const {
    auto it = values_.find(lowerCase(key));
    return it == values_.end() ? nullptr : &lines_[it->second];
}

bool readStyleFile(const std::string& path, StyleFile* style, std::string* error,
                   std::vector<StyleProblem>* problems, ReadFunction read) {
    auto fail = [&](const std::string& why) {
        if (error != nullptr) {
            *error = "cannot read style \"" + path + "\": " + why;
        }
        return false;
    };
    const std::string tooLarge = "too large for a style file (more than 16 MiB)";
    int file = -1;
    std::uint64_t size = 0;
    std::string reason;
    if (!openRegularFile(path, &file, &size, &reason)) {
        return fail(reason);
    }
    if (size > MAX_STYLE_FILE_SIZE) {
        closeFile(file);
        return fail(tooLarge);
    }
    // The size is only a hint: a file may grow while it is read, or report none at all.
    std::string text;
    text.reserve(static_cast<std::size_t>(size));
    char buffer[65536];
    for (;;) {
        const long count = (read != nullptr ? read : readFile)(file, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            reason = std::strerror(errno);
            closeFile(file);
            return fail(reason);
        }
        if (count == 0) {
            break;
        }
        if (text.size() + static_cast<std::size_t>(count) > MAX_STYLE_FILE_SIZE) {
            closeFile(file);
            return fail(tooLarge);
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    closeFile(file);
    // A binary file would make hundreds of meaningless bad lines.
    if (text.find('\0') != std::string::npos) {
        return fail("not a text file");
    }
    *style = StyleFile::parse(text, problems);
    return true;
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

} // namespace stylefile
