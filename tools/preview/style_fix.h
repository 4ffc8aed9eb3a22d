// A style mended by hand's way: new values put into the lines that gave the old ones, all else
// as the author wrote it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace preview {

struct StyleChange {
    std::string key; // with its colon, as the plug-in reads it
    int line;        // the line whose value wins, 1-based; 0 where the style lacks the key
    std::string value;
};

// The style's text with each change's value in place of the value on its line (the key as
// written, the spaces, comments, order and line endings kept), and each key the style lacks added
// at the end, with the file's own line ending.
std::string mendedStyle(std::string_view text, const std::vector<StyleChange>& changes);

} // namespace preview
