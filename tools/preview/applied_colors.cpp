#include "tools/preview/applied_colors.h"

#include "colors/system_color_set.h"
#include "standin/session.h"
#include "stylefile/color_text.h"
#include "tools/preview/terminal_text.h"

#include <cmath>
#include <cstdio>

namespace preview {
namespace {

std::string contrastLine(const char* what, double ratio) {
    char line[96];
    std::snprintf(line, sizeof line, "    %-37s %5.2f:1", what, ratio);
    return line;
}

std::string warningBelow(double minimum, const char* why) {
    char text[96];
    std::snprintf(text, sizeof text, "  warning: below %.1f:1%s", minimum, why);
    return text;
}

double linearChannel(int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::string swatch(COLORREF color) {
    char text[48];
    std::snprintf(text, sizeof text, "\x1b[48;2;%d;%d;%dm    \x1b[0m", GetRValue(color),
                  GetGValue(color), GetBValue(color));
    return text;
}

} // namespace

const ContrastPair contrastPairs[CONTRAST_PAIR_COUNT] = {
    {"caption text on caption (focused)", COLOR_CAPTIONTEXT, COLOR_ACTIVECAPTION,
     COLOR_GRADIENTACTIVECAPTION, MINIMUM_CONTRAST},
    {"caption text on caption (unfocused)", COLOR_INACTIVECAPTIONTEXT, COLOR_INACTIVECAPTION,
     COLOR_GRADIENTINACTIVECAPTION, MINIMUM_CONTRAST},
    {"highlight text on highlight", COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT, -1, MINIMUM_CONTRAST},
    {"tooltip text on tooltip", COLOR_INFOTEXT, COLOR_INFOBK, -1, MINIMUM_CONTRAST},
    {"highlight on window", COLOR_HIGHLIGHT, COLOR_WINDOW, -1, MINIMUM_HIGHLIGHT_CONTRAST},
};

bool below(double ratio, double minimum) {
    return std::round(ratio * 100) < minimum * 100;
}

AppliedColors namedColors(const std::array<COLORREF, MANAGED_COLOR_COUNT>& values) {
    AppliedColors colors{};
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        colors[i] = {managedColorNames[i], managedColorIndices[i], values[i]};
    }
    return colors;
}

AppliedColors readAppliedColors() {
    std::array<COLORREF, MANAGED_COLOR_COUNT> values{};
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        values[i] = GetSysColor(managedColorIndices[i]);
    }
    return namedColors(values);
}

COLORREF colorAt(const AppliedColors& colors, int index, COLORREF window) {
    if (index == COLOR_WINDOW) {
        return window;
    }
    for (const AppliedColor& color : colors) {
        if (color.index == index) {
            return color.value;
        }
    }
    return 0;
}

double relativeLuminance(COLORREF color) {
    return 0.2126 * linearChannel(GetRValue(color)) + 0.7152 * linearChannel(GetGValue(color)) +
           0.0722 * linearChannel(GetBValue(color));
}

double contrastRatio(COLORREF a, COLORREF b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

COLORREF readableOn(COLORREF background) {
    return contrastRatio(background, RGB(0, 0, 0)) >= contrastRatio(background, RGB(255, 255, 255))
               ? RGB(0, 0, 0)
               : RGB(255, 255, 255);
}

std::string formatReport(const std::string& stylePath, const std::string& step,
                         const AppliedColors& colors, bool swatches, const ColorSources& sources,
                         COLORREF windowColor, bool windowGiven,
                         const std::vector<std::pair<int, std::string>>& advice, int* warnings) {
    int warned = 0;
    std::string report = step + ": " + printable(stylePath) + "\n";
    report += "  " + standin::windowColorLine(windowColor) +
              (windowGiven ? ", as given" : ", assumed (--window sets it)") + "\n";
    char line[160];
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const AppliedColor& color = colors[i];
        std::snprintf(line, sizeof line, "  %-31s %2d  %s", color.name, color.index,
                      stylefile::colorText(color.value).c_str());
        report += line;
        report += swatches ? "  " + swatch(color.value) : "";
        report += sources.words[i].empty() ? "\n" : "  " + printable(sources.words[i]) + "\n";
        if (color.index == COLOR_HIGHLIGHT && !sources.highlightPassedOver.empty()) {
            report += "      passed over: " + sources.highlightPassedOver + "\n";
        }
    }
    report += "  contrast:\n";
    for (int p = 0; p < CONTRAST_PAIR_COUNT; ++p) {
        const ContrastPair& pair = contrastPairs[p];
        const COLORREF text = colorAt(colors, pair.text);
        const COLORREF background = colorAt(colors, pair.background, windowColor);
        double ratio = contrastRatio(text, background);
        std::string where;
        // A gradient caption's text must be read at both ends; the worse one counts.
        const COLORREF end = pair.gradient >= 0 ? colorAt(colors, pair.gradient) : background;
        if (end != background && contrastRatio(text, end) < ratio) {
            ratio = contrastRatio(text, end);
            where = "  (at the gradient's end, " + stylefile::colorText(end) + ")";
        }
        report += contrastLine(pair.what, ratio);
        if (below(ratio, pair.minimum)) {
            report += warningBelow(pair.minimum, pair.text == COLOR_HIGHLIGHT
                                                     ? ", a selection can hardly be seen"
                                                     : "");
            ++warned;
        }
        report += where + "\n";
        for (const auto& [which, line] : advice) {
            report += which == p ? "      " + line + "\n" : "";
        }
    }
    report += "\n";
    if (warnings != nullptr) {
        *warnings += warned;
    }
    return report;
}

} // namespace preview
