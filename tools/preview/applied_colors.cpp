#include "tools/preview/applied_colors.h"

#include "colors/system_color_set.h"
#include "standin/session.h"
#include "stylefile/color_text.h"
#include "tools/preview/terminal_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace preview {
namespace {

// Every colour a blend from one colour to another gives a pixel, each channel's exact value
// rounded down as Wine draws a caption's gradient: at each point where a channel reaches a whole
// value, just after it (on to the next such point), and at the end.
std::vector<COLORREF> blendOf(COLORREF from, COLORREF to) {
    const int a[3] = {GetRValue(from), GetGValue(from), GetBValue(from)};
    const int b[3] = {GetRValue(to), GetGValue(to), GetBValue(to)};
    std::vector<COLORREF> pixels = {to};
    for (int c = 0; c < 3; ++c) {
        const int steps = std::max(1, std::abs(b[c] - a[c])); // a point is k / steps of the way
        for (int k = 0; k < 2 * steps; ++k) {
            int v[3]; // at point k / 2 (k even) or just after it, in 1/steps, rounded down
            for (int j = 0; j < 3; ++j) {
                const int justAfter = k % 2 == 1 && b[j] < a[j] ? 1 : 0;
                v[j] = (a[j] * steps + (b[j] - a[j]) * (k / 2) - justAfter) / steps;
            }
            if (RGB(v[0], v[1], v[2]) != pixels.back()) {
                pixels.push_back(RGB(v[0], v[1], v[2]));
            }
        }
    }
    return pixels;
}

// WCAG 2 relative luminance: 0 black .. 1 white.
// From a table: a gradient is measured pixel by pixel, and the suggestions measure many.
double relativeLuminance(COLORREF color) {
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> table{};
        for (int v = 0; v < 256; ++v) {
            table[v] = linearChannel(v / 255.0);
        }
        return table;
    }();
    return 0.2126 * linear[GetRValue(color)] + 0.7152 * linear[GetGValue(color)] +
           0.0722 * linear[GetBValue(color)];
}

} // namespace

// WCAG 2.x gives the curve's knee as 0.03928 and sRGB as 0.04045; no 8-bit value lies between.
double linearChannel(double value) {
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

const ContrastPair contrastPairs[CONTRAST_PAIR_COUNT] = {
    {"caption text on caption (focused)", COLOR_CAPTIONTEXT, COLOR_ACTIVECAPTION,
     COLOR_GRADIENTACTIVECAPTION, MINIMUM_CONTRAST},
    {"caption text on caption (unfocused)", COLOR_INACTIVECAPTIONTEXT, COLOR_INACTIVECAPTION,
     COLOR_GRADIENTINACTIVECAPTION, MINIMUM_CONTRAST},
    {"highlight text on highlight", COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT, -1, MINIMUM_CONTRAST},
    {"tooltip text on tooltip", COLOR_INFOTEXT, COLOR_INFOBK, -1, MINIMUM_CONTRAST},
    {"highlight on window", COLOR_HIGHLIGHT, COLOR_WINDOW, -1, MINIMUM_HIGHLIGHT_CONTRAST},
};

AppliedColors namedColors(const std::array<COLORREF, MANAGED_COLOR_COUNT>& values) {
    AppliedColors colors{};
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        colors[i] = {managedColorNames[i], managedColorIndices[i], values[i]};
    }
    return colors;
}

AppliedColors readAppliedColors() {
    std::array<COLORREF, MANAGED_COLOR_COUNT> values{};
    std::transform(managedColorIndices, managedColorIndices + MANAGED_COLOR_COUNT, values.begin(),
                   GetSysColor);
    return namedColors(values);
}

int placeOf(int index) {
    const auto* end = managedColorIndices + MANAGED_COLOR_COUNT;
    const auto* at = std::find(managedColorIndices, end, index);
    return at == end ? -1 : static_cast<int>(at - managedColorIndices);
}

COLORREF colorAt(const AppliedColors& colors, int index, COLORREF window) {
    const int at = placeOf(index);
    return index == COLOR_WINDOW ? window : at < 0 ? 0 : colors[at].value;
}

double contrastRatio(COLORREF a, COLORREF b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

std::string ratioText(double ratio) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f:1", std::floor(ratio * 100) / 100);
    return text;
}

Contrast contrastOf(const ContrastPair& pair, const AppliedColors& colors, COLORREF window) {
    const COLORREF text = colorAt(colors, pair.text);
    const COLORREF background = colorAt(colors, pair.background, window);
    Contrast worst{contrastRatio(text, background), background};
    if (pair.gradient >= 0) {
        for (const COLORREF pixel : blendOf(background, colorAt(colors, pair.gradient))) {
            const double ratio = contrastRatio(text, pixel);
            worst = ratio < worst.ratio ? Contrast{ratio, pixel} : worst;
        }
    }
    return worst;
}

COLORREF readableOn(COLORREF background) {
    return contrastRatio(background, RGB(0, 0, 0)) >= contrastRatio(background, RGB(255, 255, 255))
               ? RGB(0, 0, 0)
               : RGB(255, 255, 255);
}

std::string formatReport(const std::string& stylePath, const std::string& step,
                         const AppliedColors& colors, bool swatches, const ColorSources& sources,
                         COLORREF windowColor, bool windowGiven, const std::vector<Fix>& advice,
                         int* warnings) {
    std::string report = step + ": " + printable(stylePath) + "\n";
    report += "  " + standin::windowColorLine(windowColor) +
              (windowGiven ? ", as given" : ", assumed (--window sets it)") + "\n";
    char line[160];
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const AppliedColor& color = colors[i];
        std::snprintf(line, sizeof line, "  %-31s %2d  %s", color.name, color.index,
                      stylefile::colorText(color.value).c_str());
        report += line;
        if (swatches) { // a 24-bit background colour behind four spaces
            std::snprintf(line, sizeof line, "  \x1b[48;2;%d;%d;%dm    \x1b[0m",
                          GetRValue(color.value), GetGValue(color.value), GetBValue(color.value));
            report += line;
        }
        report += sources.words[i].empty() ? "\n" : "  " + printable(sources.words[i]) + "\n";
        if (color.index == COLOR_HIGHLIGHT && !sources.highlightPassedOver.empty()) {
            report += "      passed over: " + sources.highlightPassedOver + "\n";
        }
    }
    report += "  contrast:\n";
    for (int p = 0; p < CONTRAST_PAIR_COUNT; ++p) {
        const ContrastPair& pair = contrastPairs[p];
        const Contrast contrast = contrastOf(pair, colors, windowColor);
        std::snprintf(line, sizeof line, "    %-37s %7s", pair.what,
                      ratioText(contrast.ratio).c_str());
        report += line;
        if (contrast.ratio < pair.minimum) {
            std::snprintf(line, sizeof line, "  warning: below %.1f:1%s", pair.minimum,
                          pair.text == COLOR_HIGHLIGHT ? ", a selection can hardly be seen" : "");
            report += line;
            ++*warnings;
        }
        // A gradient caption's text is named where it reads worst, when not on the caption's own.
        if (contrast.at != colorAt(colors, pair.background, windowColor)) {
            report += (contrast.at == colorAt(colors, pair.gradient) ? "  (at the gradient's end, "
                                                                     : "  (inside the gradient, ") +
                      stylefile::colorText(contrast.at) + ")";
        }
        report += "\n";
        for (const Fix& fix : advice) {
            report += fix.pair == p ? "      " + fix.advice + "\n" : "";
        }
    }
    return report + "\n";
}

} // namespace preview
