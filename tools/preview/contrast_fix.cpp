#include "tools/preview/contrast_fix.h"

#include "tools/preview/applied_colors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace preview {
namespace {

// Stands for a point outside sRGB on the line walked, which never meets a need.
constexpr COLORREF OUTSIDE = 0xffffffff;
// The line is split down to SPLIT where it may hide a colour not seen yet, so the colour
// suggested is the first of the line that meets the needs.
constexpr double SPLIT = 1e-7;

double linearChannel(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// A linear value as 0..255, or -1 outside sRGB (give or take the matrices' own error). Judged
// before rounding: near black, rounding would let in points of any hue, which only look black.
long channel8(double linear) {
    if (linear < -1e-6 || linear > 1 + 1e-6) {
        return -1;
    }
    return std::lround(
        255 * (linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055));
}

bool meets(COLORREF color, const std::vector<ContrastNeed>& needs) {
    return color != OUTSIDE && std::none_of(needs.begin(), needs.end(), [&](const ContrastNeed& n) {
               return below(contrastRatio(color, n.with), n.minimum);
           });
}

// Colours one step apart in one channel have none between them.
bool adjacent(COLORREF x, COLORREF y) {
    return x != OUTSIDE && y != OUTSIDE &&
           std::abs(GetRValue(x) - GetRValue(y)) + std::abs(GetGValue(x) - GetGValue(y)) +
                   std::abs(GetBValue(x) - GetBValue(y)) <=
               1;
}

struct Line {
    const Oklab& hue;
    const std::vector<ContrastNeed>& needs;

    COLORREF at(double L) const { return fromOklab({L, hue.a, hue.b}).value_or(OUTSIDE); }

    // Where the first colour that meets the needs begins after from (whose colour does not) on
    // the way to to, or none. Split in halves, the nearer first, while colours may lie between.
    std::optional<double> first(double from, COLORREF fromColor, double to, COLORREF toColor,
                                bool toMeets) const {
        if (fromColor == toColor) {
            return std::nullopt;
        }
        if (std::fabs(to - from) > SPLIT && (toMeets || !adjacent(fromColor, toColor))) {
            const double middle = (from + to) / 2;
            const COLORREF middleColor = at(middle);
            const bool middleMeets = middleColor == toColor
                                         ? toMeets
                                         : middleColor != fromColor && meets(middleColor, needs);
            if (const auto found = first(from, fromColor, middle, middleColor, middleMeets)) {
                return found;
            }
            return first(middle, middleColor, to, toColor, toMeets);
        }
        return toMeets ? std::optional<double>(to) : std::nullopt;
    }

    // The lightness nearest to start's whose colour meets the needs, darker or lighter, or none.
    std::optional<double> nearest(double start) const {
        std::optional<double> best;
        for (const double end : {0.0, 1.0}) {
            const COLORREF endColor = at(end);
            const auto found = first(start, at(start), end, endColor, meets(endColor, needs));
            if (found && (!best || std::fabs(*found - start) < std::fabs(*best - start))) {
                best = found;
            }
        }
        return best;
    }
};

// Black and white both fail only between a dark and a light colour, where a grey may not: the
// grey nearest in lightness that meets the needs, or none.
std::optional<COLORREF> nearestGrey(double lightness, const std::vector<ContrastNeed>& needs) {
    std::optional<COLORREF> best;
    for (int v = 0; v < 256; ++v) {
        const COLORREF grey = RGB(v, v, v);
        if (meets(grey, needs) && (!best || std::fabs(toOklab(grey).L - lightness) <
                                                std::fabs(toOklab(*best).L - lightness))) {
            best = grey;
        }
    }
    return best;
}

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
    const auto cube = [](double x) { return x * x * x; };
    const double l = cube(lab.L + 0.3963377774 * lab.a + 0.2158037573 * lab.b);
    const double m = cube(lab.L - 0.1055613458 * lab.a - 0.0638541728 * lab.b);
    const double s = cube(lab.L - 0.0894841775 * lab.a - 1.2914855480 * lab.b);
    const long r = channel8(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s);
    const long g = channel8(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s);
    const long b = channel8(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s);
    if (r < 0 || g < 0 || b < 0) {
        return std::nullopt;
    }
    return RGB(r, g, b);
}

Suggestion suggestColor(COLORREF color, const std::vector<ContrastNeed>& needs) {
    const Oklab own = toOklab(color);
    const COLORREF nearer = own.L < 0.5 ? RGB(0, 0, 0) : RGB(255, 255, 255);
    const COLORREF farther = nearer ^ RGB(255, 255, 255);
    const Line line{own, needs};
    Suggestion s;
    if (meets(color, needs)) {
        s = {true, color, own.L};
    } else if (const auto L = line.nearest(own.L)) {
        s = {true, line.at(*L), *L};
    } else if (meets(nearer, needs)) {
        s = {true, nearer, toOklab(nearer).L};
    } else if (meets(farther, needs)) {
        s = {true, farther, toOklab(farther).L};
    } else if (const auto grey = nearestGrey(own.L, needs)) {
        s = {true, *grey, toOklab(*grey).L};
    }
    if (s.found) {
        double highest = 0;
        for (const ContrastNeed& need : needs) {
            highest = std::max(highest, need.minimum);
        }
        s.ratio = 21;
        for (const ContrastNeed& need : needs) {
            if (need.minimum == highest) {
                s.ratio = std::min(s.ratio, contrastRatio(s.color, need.with));
            }
        }
    }
    return s;
}

Suggestion suggestColor(COLORREF color, const std::vector<COLORREF>& backgrounds, double minimum) {
    std::vector<ContrastNeed> needs;
    for (const COLORREF background : backgrounds) {
        needs.push_back({background, minimum});
    }
    return suggestColor(color, needs);
}

} // namespace preview
