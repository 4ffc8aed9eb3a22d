// A style file as the stand-in host and the tools read it: `key: value` lines, parsed once into
// memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace stylefile {

// A line that is not `key: value`, reported and skipped.
struct StyleProblem {
    int line; // 1-based
    std::string message;
};

// One `key: value` line as written: the key with its colon, in the file's own spelling.
struct StyleLine {
    int line; // 1-based
    std::string key;
    std::string value;
};

class StyleFile {
  public:
    // Parses a style's text. A UTF-8 byte-order mark at the start is skipped; lines end in LF,
    // CRLF or a lone CR. Comments are whole lines starting with '!' or '#', blank lines are
    // ignored, the key runs to the first colon and keeps it, the value is the rest of the line
    // trimmed, keys match without regard to case and a later line wins. Bad lines go to problems.
    static StyleFile parse(std::string_view text, std::vector<StyleProblem>* problems = nullptr);

    // The value of key ("menu.hilite.color:"), or nullptr when the style has no such key.
    const std::string* find(std::string_view key) const;
    // The line that gives key its value, or nullptr.
    const StyleLine* lineOf(std::string_view key) const;
    // Every key line in file order, those a later line overrides included.
    const std::vector<StyleLine>& lines() const { return lines_; }
    std::size_t size() const { return values_.size(); }

  private:
    std::vector<StyleLine> lines_;
    std::unordered_map<std::string, std::size_t> values_; // lower-cased key to its line in lines_
};

// Style files are small; anything bigger is a wrong file, not a style.
constexpr std::size_t MAX_STYLE_FILE_SIZE = 16 * 1024 * 1024;

// Reads like read(2): bytes read, 0 at the end, -1 with errno set.
using ReadFunction = long (*)(int descriptor, void* buffer, std::size_t size);

// Reads and parses the style file at path, opened once and without waiting on it. False, with
// error ("cannot read style "PATH": REASON"), when it cannot be opened (the system's reason), is
// no regular file ("is a directory", "is a FIFO", ...), is larger than MAX_STYLE_FILE_SIZE, fails
// to read part-way, or holds NUL bytes ("not a text file"). Bad lines are reported, never fatal.
// read replaces the system's read for tests; null reads the file.
bool readStyleFile(const std::string& path, StyleFile* style, std::string* error,
                   std::vector<StyleProblem>* problems = nullptr, ReadFunction read = nullptr);

// Keys, and the texture words the host looks for, match without regard to case.
std::string lowerCase(std::string_view text);

} // namespace stylefile
