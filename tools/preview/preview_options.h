// The preview tool's command line: tintlet-preview [options] [STYLE...]
#pragma once

#include <string>
#include <vector>

namespace preview {

struct Options {
    bool help = false;
    bool trace = false;
    bool watch = false;
    int watchLimit = 0; // hidden: stop watching after this many re-applies (0: never)
    std::string svgPath;
    std::vector<std::string> styles;
};

// False, with a one-line error, for an unknown option or a missing or bad option argument.
bool parseOptions(int argc, const char* const* argv, Options* options, std::string* error);

extern const char USAGE[];

} // namespace preview
