// A colour for a suggestion: the nearest to the style's own, in OKLab, that reads on all it must.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace preview {

// A colour in OKLab: lightness L (0 black .. 1 white) and the opponent axes a, b, whose angle is
// the hue and whose length the chroma.
struct Oklab {
    double L, a, b;
};

Oklab toOklab(COLORREF color);
// The colour rounded to 8-bit channels; none outside sRGB.
std::optional<COLORREF> fromOklab(const Oklab& lab);

// color itself when it reads; else the colour of its hue nearest to it in lightness that reads,
// with its chroma lowered only as far as sRGB holds at that lightness (so black and white end the
// way; a grey keeps to the greys); else the grey nearest in lightness that reads; else none.
std::optional<COLORREF> nearestReading(COLORREF color, const std::function<bool(COLORREF)>& reads);

} // namespace preview
