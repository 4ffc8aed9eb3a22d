#include "stylefile/style_file.h"

#include "stylefile/file_access.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace stylefile {
namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// FNV-1a over the key in lower case.
std::size_t keyHash(std::string_view key) {
    std::uint32_t hash = 2166136261u;
    for (char c : key) {
        hash = (hash ^ static_cast<unsigned char>(lowerAscii(c))) * 16777619u;
    }
    return hash;
}

bool sameKey(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

constexpr std::string_view SPACE = " \t\r\f\v";

} // namespace

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(SPACE);
    return first == std::string_view::npos
               ? text.substr(text.size())
               : text.substr(first, text.find_last_not_of(SPACE) - first + 1);
}

std::string_view nextLine(std::string_view& text) {
    std::size_t end = 0;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') {
        ++end;
    }
    const std::string_view line = text.substr(0, end);
    const bool crlf = text.substr(end, 2) == "\r\n";
    text.remove_prefix(std::min(text.size(), end + (crlf ? 2 : 1)));
    return line;
}

StyleFile StyleFile::parse(std::string_view text, StyleProblems* problems) {
    return parseInPlace(std::string(text), problems);
}

StyleFile StyleFile::parseInPlace(std::string&& text, StyleProblems* problems) {
    StyleFile style;
    style.text_ = std::move(text);
    std::string_view rest = style.text_;
    // Notepad starts its UTF-8 files with a byte-order mark; it is not part of the first key.
    if (rest.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK) {
        rest.remove_prefix(BYTE_ORDER_MARK.size());
    }
    // Each key line's key, colon and value are moved down to the end of the last one kept: never
    // past the line's own start, so what is still to be read is never written over.
    char* const base = style.text_.data();
    std::size_t kept = 0;
    int number = 0;
    while (!rest.empty()) {
        ++number;
        const std::string_view line = trim(nextLine(rest));
        if (line.empty() || line.front() == '!' || line.front() == '#') {
            continue;
        }
        const std::size_t colon = line.find(':');
        std::string_view name =
            colon == std::string_view::npos ? line : trim(line.substr(0, colon));
        if (colon == std::string_view::npos || name.empty()) {
            if (problems != nullptr && problems->count++ < MOST_PROBLEMS_KEPT) {
                problems->first.push_back({number, colon == std::string_view::npos
                                                       ? "not a \"key: value\" line, skipped"
                                                       : "no key before the colon, skipped"});
            }
            continue;
        }
        // Keys keep their colon, as the plug-in asks for them ("menu.hilite.color:").
        const std::string_view value = trim(line.substr(colon + 1));
        const Entry entry{static_cast<std::uint32_t>(number), static_cast<std::uint32_t>(kept),
                          static_cast<std::uint32_t>(name.size() + 1),
                          static_cast<std::uint32_t>(value.size())};
        std::memmove(base + kept, name.data(), name.size());
        kept += name.size();
        base[kept++] = ':';
        std::memmove(base + kept, value.data(), value.size());
        kept += value.size();
        style.entries_.push_back(entry);
    }
    style.text_.resize(kept);
    if (style.text_.capacity() > 2 * kept + 64) {
        style.text_.shrink_to_fit();
    }
    style.entries_.shrink_to_fit();
    style.index();
    return style;
}

std::string_view StyleFile::keyOf(const Entry& entry) const {
    return std::string_view(text_).substr(entry.start, entry.keyLength);
}

StyleLine StyleFile::lineAt(std::size_t i) const {
    const Entry& entry = entries_[i];
    return {static_cast<int>(entry.line), keyOf(entry),
            std::string_view(text_).substr(entry.start + entry.keyLength, entry.valueLength)};
}

std::size_t StyleFile::slotOf(std::string_view key) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = keyHash(key) & mask;
    while (slots_[slot] != 0 && !sameKey(key, keyOf(entries_[slots_[slot] - 1]))) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

void StyleFile::index() {
    std::size_t size = 16;
    while (size < 2 * entries_.size()) {
        size *= 2;
    }
    slots_.assign(size, 0);
    keys_ = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::uint32_t& slot = slots_[slotOf(keyOf(entries_[i]))];
        keys_ += slot == 0;
        slot = static_cast<std::uint32_t>(i + 1); // a later line wins
    }
}

const StyleFile::Entry* StyleFile::entryOf(std::string_view key) const {
    if (slots_.empty()) {
        return nullptr;
    }
    const std::uint32_t slot = slots_[slotOf(key)];
    return slot == 0 ? nullptr : &entries_[slot - 1];
}

std::optional<std::string_view> StyleFile::find(std::string_view key) const {
    const std::optional<StyleLine> line = lineOf(key);
    return line ? std::optional(line->value) : std::nullopt;
}

std::optional<StyleLine> StyleFile::lineOf(std::string_view key) const {
    const Entry* entry = entryOf(key);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return lineAt(static_cast<std::size_t>(entry - entries_.data()));
}

StyleFile StyleFile::only(const std::vector<std::string_view>& keys) const {
    StyleFile kept;
    for (const std::string_view key : keys) {
        const Entry* entry = entryOf(key);
        if (entry != nullptr &&
            std::none_of(kept.entries_.begin(), kept.entries_.end(),
                         [&](const Entry& other) { return other.line == entry->line; })) {
            kept.entries_.push_back(*entry);
        }
    }
    std::sort(kept.entries_.begin(), kept.entries_.end(),
              [](const Entry& a, const Entry& b) { return a.line < b.line; });
    for (Entry& entry : kept.entries_) {
        const std::size_t start = kept.text_.size();
        kept.text_.append(text_, entry.start, entry.keyLength + entry.valueLength);
        entry.start = static_cast<std::uint32_t>(start);
    }
    kept.index();
    return kept;
}

bool readStyleText(const std::string& path, std::string* text, std::string* error,
                   ReadFunction read) {
    auto fail = [&](const std::string& why) {
        if (error != nullptr) {
            *error = "cannot read style \"" + path + "\": " + why;
        }
        return false;
    };
    int file = -1;
    std::uint64_t size = 0;
    std::string reason;
    if (!openRegularFile(path, &file, &size, &reason)) {
        return fail(reason);
    }
    // The size is only a hint: a file may grow while it is read, or report none at all.
    text->clear();
    text->reserve(static_cast<std::size_t>(std::min<std::uint64_t>(size, MAX_STYLE_FILE_SIZE)));
    char buffer[65536];
    long count = 1;
    while (count != 0 && size <= MAX_STYLE_FILE_SIZE && text->size() <= MAX_STYLE_FILE_SIZE) {
        count = (read != nullptr ? read : readFile)(file, buffer, sizeof buffer);
        if (count > 0) {
            text->append(buffer, static_cast<std::size_t>(count));
        } else if (count < 0 && errno != EINTR) {
            reason = std::strerror(errno);
            break;
        }
    }
    closeFile(file);
    if (!reason.empty()) {
        return fail(reason);
    }
    if (size > MAX_STYLE_FILE_SIZE || text->size() > MAX_STYLE_FILE_SIZE) {
        return fail("too large for a style file (more than 16 MiB)");
    }
    // A binary file would make hundreds of meaningless bad lines.
    if (text->find('\0') != std::string::npos) {
        return fail("not a text file");
    }
    return true;
}

bool readStyleFile(const std::string& path, StyleFile* style, std::string* error,
                   StyleProblems* problems, ReadFunction read) {
    std::string text;
    if (!readStyleText(path, &text, error, read)) {
        return false;
    }
    *style = StyleFile::parseInPlace(std::move(text), problems);
    return true;
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
    return lower;
}

} // namespace stylefile
