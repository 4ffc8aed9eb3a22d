// A style file as the stand-in host and the tools read it: `key: value` lines, parsed once into
// memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stylefile {

// A line that is not `key: value`, reported and skipped.
struct StyleProblem {
    int line; // 1-based
    std::string message;
};

// The lines of a style that are not `key: value`: the first of them and how many there are in
// all, as a file of nothing else has millions.
struct StyleProblems {
    std::vector<StyleProblem> first; // in line order, at most MOST_PROBLEMS_KEPT
    std::size_t count = 0;
};
constexpr std::size_t MOST_PROBLEMS_KEPT = 100;

// One `key: value` line as written: the key with its colon, in the file's own spelling. The
// texts are the style's own, valid as long as the style is neither changed nor moved.
struct StyleLine {
    int line; // 1-based
    std::string_view key;
    std::string_view value;
};

class StyleFile {
  public:
    // Parses a style's text. A UTF-8 byte-order mark at the start is skipped; lines end in LF,
    // CRLF or a lone CR. Comments are whole lines starting with '!' or '#', blank lines are
    // ignored, the key runs to the first colon and keeps it, the value is the rest of the line
    // trimmed, keys match without regard to case and a later line wins. Bad lines go to problems.
    static StyleFile parse(std::string_view text, StyleProblems* problems = nullptr);
    // The same, in the text's own memory: a style takes little more room than its file.
    static StyleFile parseInPlace(std::string&& text, StyleProblems* problems = nullptr);

    // The value of key ("menu.hilite.color:"), or none when the style has no such key.
    std::optional<std::string_view> find(std::string_view key) const;
    // The line that gives key its value, or none.
    std::optional<StyleLine> lineOf(std::string_view key) const;
    // The same style with only the lines that give keys their values: what a reader of those
    // keys needs, in little memory.
    StyleFile only(const std::vector<std::string_view>& keys) const;
    // The number of distinct keys.
    std::size_t size() const { return keys_; }

    // Every key line in file order, those a later line overrides included.
    class Lines {
      public:
        struct Iterator {
            const StyleFile* file;
            std::size_t at;
            StyleLine operator*() const { return file->lineAt(at); }
            Iterator& operator++() {
                ++at;
                return *this;
            }
            bool operator!=(const Iterator& other) const { return at != other.at; }
        };
        explicit Lines(const StyleFile* file) : file_(file) {}
        std::size_t size() const { return file_->entries_.size(); }
        StyleLine operator[](std::size_t i) const { return file_->lineAt(i); }
        Iterator begin() const { return {file_, 0}; }
        Iterator end() const { return {file_, size()}; }

      private:
        const StyleFile* file_;
    };
    Lines lines() const { return Lines(this); }

  private:
    // A key line: its key (with the colon) and then its value, one after the other in text_.
    struct Entry {
        std::uint32_t line;
        std::uint32_t start;
        std::uint32_t keyLength;
        std::uint32_t valueLength;
    };
    std::string_view keyOf(const Entry& entry) const;
    StyleLine lineAt(std::size_t i) const;
    // The slot that holds key's line, or the free slot where it would go.
    std::size_t slotOf(std::string_view key) const;
    const Entry* entryOf(std::string_view key) const;
    void index();

    std::string text_;
    std::vector<Entry> entries_;
    // Open addressing by the key's hash, without regard to case: 1 + the entry of the line that
    // gives the key its value, 0 for a free slot. Its size is a power of two.
    std::vector<std::uint32_t> slots_;
    std::size_t keys_ = 0;
};

// Style files are small; anything bigger is a wrong file, not a style.
constexpr std::size_t MAX_STYLE_FILE_SIZE = 16 * 1024 * 1024;

// Reads like read(2): bytes read, 0 at the end, -1 with errno set.
using ReadFunction = long (*)(int descriptor, void* buffer, std::size_t size);

// Reads the text of the style file at path, opened once and without waiting on it. False, with
// error ("cannot read style "PATH": REASON"), when it cannot be opened (the system's reason), is
// no regular file ("is a directory", "is a FIFO", ...), is larger than MAX_STYLE_FILE_SIZE, fails
// to read part-way, or holds NUL bytes ("not a text file"). read replaces the system's read for
// tests; null reads the file.
bool readStyleText(const std::string& path, std::string* text, std::string* error,
                   ReadFunction read = nullptr);

// Reads the style file at path as readStyleText does and parses it. Bad lines are reported, never
// fatal.
bool readStyleFile(const std::string& path, StyleFile* style, std::string* error,
                   StyleProblems* problems = nullptr, ReadFunction read = nullptr);

// A UTF-8 byte-order mark, which a style may start with and which is no part of its first key.
constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// The next line of text, as style files end their lines (LF, CRLF or a lone CR); the line and its
// ending are taken off text.
std::string_view nextLine(std::string_view& text);

// text without the spaces and tabs around it, as keys and values are read.
std::string_view trim(std::string_view text);

// Keys, and the texture words the host looks for, match without regard to case.
std::string lowerCase(std::string_view text);

} // namespace stylefile
