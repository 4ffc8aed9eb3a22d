// The colour nearest to a style's own that reads on what it is drawn with.
#pragma once

#include <windows.h>

#include <vector>

namespace preview {

// A colour the suggestion must read against, and the ratio it needs there.
struct Against {
    COLORREF color;
    double minimum;
};

struct Suggestion {
    bool exists;
    COLORREF color;
};

// The colour nearest to original that reads against every one given.
Suggestion suggestColor(COLORREF original, const std::vector<Against>& against);

} // namespace preview
