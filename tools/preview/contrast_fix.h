// Suggestions for contrast warnings: the colour nearest to the style's own that reads on every
// colour it is drawn with, found by moving its lightness and keeping its hue and chroma.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

namespace preview {

// A colour in OKLab: lightness L (0 black .. 1 white) and the opponent axes a, b, whose angle is
// the hue and whose length the chroma.
struct Oklab {
    double L, a, b;
};

Oklab toOklab(COLORREF color);
// The colour rounded to 8-bit channels; none outside sRGB.
std::optional<COLORREF> fromOklab(const Oklab& lab);

// A colour the suggestion must read with, at least at minimum (as the report prints it).
struct ContrastNeed {
    COLORREF with;
    double minimum;
};

struct Suggestion {
    bool found = false;   // false: no colour of its hue, nor black, white or a grey, meets them
    COLORREF color = 0;   // the colour itself when it meets them already
    double lightness = 0; // OKLab L where it begins on its hue's line; else its own
    double ratio = 0;     // the worst ratio it reaches among the needs of the highest minimum
};

// The colour of color's hue and chroma whose lightness is nearest to color's that meets every
// need; else black or white, the nearer in lightness where both do; else the nearest grey. A
// key that feeds several of the ten colours, or a background held against its text and the
// window, passes all that it must read with as one list.
Suggestion suggestColor(COLORREF color, const std::vector<ContrastNeed>& needs);

// The same, for a colour drawn on each of backgrounds (both ends of a gradient) at one minimum.
Suggestion suggestColor(COLORREF color, const std::vector<COLORREF>& backgrounds, double minimum);

} // namespace preview
