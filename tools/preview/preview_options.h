// The preview tool's command line: tintlet-preview [options] [STYLE...]
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace preview {

struct Options {
    bool help = false;
    bool version = false;
    bool keys = false;
    bool trace = false;
    bool watch = false;
    bool strict = false; // exit status 3 when any warning was printed
    // The window background the highlight is seen on: white, Windows' own.
    COLORREF window = RGB(255, 255, 255);
    bool windowGiven = false;
    int watchLimit = 0; // hidden: stop watching after this many re-applies (0: never)
    std::string svgPath;
    std::string fixPath;        // a copy of the style with the suggestions put in
    bool force = false;         // the copy may replace a file that exists
    std::string screenshotPath; // PNG pictures of the scene Windows draws, under Wine
    std::vector<std::string> styles;
};

// False, with a one-line error, for an unknown option or a missing or bad option argument.
bool parseOptions(int argc, const char* const* argv, Options* options, std::string* error);

// The --help text.
std::string usage();

} // namespace preview
