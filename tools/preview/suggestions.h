// What to change where a text is hard to read: for each contrast warning, the line to paste for
// the key that gave the colour, or why no colour of that key would do.
#pragma once

#include "tools/preview/applied_colors.h"
#include "tools/preview/style_fix.h"
#include "tools/preview/style_keys.h"

#include <string>
#include <vector>

namespace preview {

struct Fix {
    int pair;           // the warning it mends, by its place in contrastPairs
    std::string advice; // "suggestion: window.label.unfocus.textColor: #2b3a29 (4.62:1)", ...
    bool mends;         // a change is suggested
    StyleChange change;
};

// For each pair of the report below its minimum: a colour of the key that gave the text (or the
// highlight) that reads on everything that key's colours are drawn with, nearest the style's own.
std::vector<Fix> suggestFixes(const AppliedColors& colors, const ColorSources& sources,
                              COLORREF window, const stylefile::StyleFile& style);

} // namespace preview
