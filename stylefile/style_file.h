// A style file as the stand-in host and the tools read it: `key: value` lines, parsed once into
// memory.
#pragma once

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

class StyleFile {
  public:
    // Parses a style's text. Comments start with '!' or '#', blank lines are ignored, the key
    // runs to the first colon and keeps it, the value is the rest of the line trimmed, keys
    // match without regard to case and a later line wins. Bad lines go to problems.
    static StyleFile parse(std::string_view text, std::vector<StyleProblem>* problems = nullptr);

    // The value of key ("menu.hilite.color:"), or nullptr when the style has no such key.
    const std::string* find(std::string_view key) const;
    std::size_t size() const { return values_.size(); }

  private:
    std::unordered_map<std::string, std::string> values_; // keys lower-cased
};

// Reads and parses the style file at path. False, with error naming the path and the reason,
// when it is missing, a directory or unreadable; bad lines are reported, never fatal.
bool readStyleFile(const std::string& path, StyleFile* style, std::string* error,
                   std::vector<StyleProblem>* problems = nullptr);

} // namespace stylefile
