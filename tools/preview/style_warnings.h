// What in a style will not do what its author meant: lines that are no `key: value`, keys set
// twice or misspelt, values that are no colour, keys this style never lets the plug-in read, and
// a style the plug-in could not read by its path. A file's warnings are shown in line order, the
// first MOST_WARNINGS_SHOWN of them; the rest are counted.
#pragma once

#include "standin/call_record.h"
#include "stylefile/style_file.h"
#include "tools/preview/preview_run.h"

#include <map>
#include <string>
#include <vector>

namespace preview {

// A file's warnings: the first MOST_WARNINGS_SHOWN in line order, and how many there are, so that
// a file of a million bad lines costs no more to report than one of twenty.
struct Warnings {
    std::multimap<int, std::string> shown; // by line, 0 for the file as a whole
    std::size_t count = 0;
};

// Why the plug-in read another style than the one at hostPath in a pass (its path too long for
// the plug-in, ...), or "" when it read that one.
std::string otherStyleRead(const std::string& hostPath, const std::vector<standin::Call>& pass);

// The warnings of a style's own text, as read.
Warnings styleWarnings(const stylefile::StyleFile& style, const stylefile::StyleProblems& problems);

// Adds the warnings of the pass the style led to: other, the otherStyleRead of the pass, or else
// keys of the style it never looked up. Returns how many of those keys there were: the host may
// draw with them, so they are no fault of the style that --strict counts.
std::size_t addPassWarnings(const stylefile::StyleFile& style, const std::string& other,
                            const std::vector<standin::Call>& pass, Warnings* warnings);

// Prints them as "PATH:LINE: TEXT" to output.err; returns how many there were.
std::size_t printWarnings(const Output& output, const std::string& path, const Warnings& warnings);

} // namespace preview
