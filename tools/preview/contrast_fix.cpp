#include "tools/preview/contrast_fix.h"

#include "tools/preview/applied_colors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace preview {
namespace {

// The way is split down to SPLIT where it may hide a colour not seen yet, and to STEP where
// each colour begins, so the colour suggested is the nearest of the way that reads.
constexpr double SPLIT = 1e-7, STEP = 1e-3;

using Linear = std::array<double, 3>;

Linear linearOf(const Oklab& lab) {
    const auto cube = [](double x) { return x * x * x; };
    const double l = cube(lab.L + 0.3963377774 * lab.a + 0.2158037573 * lab.b);
    const double m = cube(lab.L - 0.1055613458 * lab.a - 0.0638541728 * lab.b);
    const double s = cube(lab.L - 0.0894841775 * lab.a - 1.2914855480 * lab.b);
    return {4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
            -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
            -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s};
}

// Judged before rounding, give or take the matrices' own error: near black, rounding would let
// in points of any hue, which only look black.
bool inSrgb(const Linear& rgb) {
    return std::all_of(rgb.begin(), rgb.end(), [](double c) { return c > -1e-6 && c < 1 + 1e-6; });
}

int channel8(double linear) {
    const double c = std::clamp(linear, 0.0, 1.0);
    return static_cast<int>(
        std::lround(255 * (c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055)));
}

// Colours one step apart in one channel have none between them.
bool adjacent(COLORREF x, COLORREF y) {
    return std::abs(GetRValue(x) - GetRValue(y)) + std::abs(GetGValue(x) - GetGValue(y)) +
               std::abs(GetBValue(x) - GetBValue(y)) <=
           1;
}

// The colours of one hue by lightness, each with as much of the own colour's chroma as sRGB holds
// there; with no chroma (a and b 0), the greys.
struct Way {
    Oklab own;

    COLORREF at(double L) const {
        double kept = 1, lost = 1; // of the own chroma: a share sRGB holds, one it does not
        if (!inSrgb(linearOf({L, own.a, own.b}))) {
            for (kept = 0; lost - kept > 1e-9;) {
                const double middle = (kept + lost) / 2;
                (inSrgb(linearOf({L, own.a * middle, own.b * middle})) ? kept : lost) = middle;
            }
        }
        return *fromOklab({L, own.a * kept, own.b * kept}); // kept is a share sRGB holds
    }

    // Each colour after from's on the way to to, once, with about where it begins: split in
    // halves while colours may lie between, or where one begins is known to less than STEP.
    void collect(double from, COLORREF fromColor, double to, COLORREF toColor,
                 std::vector<std::pair<double, COLORREF>>& colors) const {
        if (fromColor == toColor) {
            return;
        }
        if (std::fabs(to - from) > STEP ||
            (std::fabs(to - from) > SPLIT && !adjacent(fromColor, toColor))) {
            const double middle = (from + to) / 2;
            const COLORREF middleColor = at(middle);
            collect(from, fromColor, middle, middleColor, colors);
            collect(middle, middleColor, to, toColor, colors);
            return;
        }
        colors.emplace_back(std::fabs(to - own.L), toColor);
    }
};

} // namespace

// OKLab rather than CIELAB: with a and b kept, its hue stays where the eye sees it while the
// lightness moves (CIELAB's blues turn violet as they lighten), and it needs no white point.
Oklab toOklab(COLORREF color) {
    const double r = linearChannel(GetRValue(color) / 255.0),
                 g = linearChannel(GetGValue(color) / 255.0),
                 b = linearChannel(GetBValue(color) / 255.0);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

std::optional<COLORREF> fromOklab(const Oklab& lab) {
    const Linear rgb = linearOf(lab);
    if (!inSrgb(rgb)) {
        return std::nullopt;
    }
    return RGB(channel8(rgb[0]), channel8(rgb[1]), channel8(rgb[2]));
}

std::optional<COLORREF> nearestReading(COLORREF color, const std::function<bool(COLORREF)>& reads) {
    if (reads(color)) {
        return color;
    }
    const Oklab own = toOklab(color);
    const bool grey = GetRValue(color) == GetGValue(color) && GetGValue(color) == GetBValue(color);
    const Way way{grey ? Oklab{own.L, 0, 0} : own};
    std::vector<std::pair<double, COLORREF>> colors; // by how far from own's lightness
    way.collect(own.L, color, 0, way.at(0), colors);
    way.collect(own.L, color, 1, way.at(1), colors);
    std::stable_sort(colors.begin(), colors.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    for (const auto& [distance, found] : colors) {
        if (reads(found)) {
            return found;
        }
    }
    // The greys, nearest first in lightness, where no colour of the hue reads.
    return grey ? std::nullopt : nearestReading(Way{{own.L, 0, 0}}.at(own.L), reads);
}

} // namespace preview
