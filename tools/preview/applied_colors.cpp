#include "tools/preview/applied_colors.h"

#include "colors/system_color_set.h"
#include "standin/session.h"
#include "stylefile/color_text.h"
#include "tools/preview/terminal_text.h"

#include <cmath>
#include <cstdio>

namespace preview {
namespace {

struct ContrastPair {
    const char* what;
    int text;
    int background;
    int gradient; // the background's other end, or -1
};

const ContrastPair contrastPairs[] = {
    {"caption text on caption (focused)", COLOR_CAPTIONTEXT, COLOR_ACTIVECAPTION,
     COLOR_GRADIENTACTIVECAPTION},
    {"caption text on caption (unfocused)", COLOR_INACTIVECAPTIONTEXT, COLOR_INACTIVECAPTION,
     COLOR_GRADIENTINACTIVECAPTION},
    {"highlight text on highlight", COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT, -1},
    {"tooltip text on tooltip", COLOR_INFOTEXT, COLOR_INFOBK, -1},
};

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

COLORREF colorAt(const AppliedColors& colors, int index) {
    for (const AppliedColor& color : colors) {
        if (color.index == index) {
            return color.value;
        }
    }
    return 0;
}

bool below(double ratio, double minimum) {
    return std::round(ratio * 100) < minimum * 100;
}

double relativeLuminance(COLORREF color) {
    return 0.2126 * linearChannel(GetRValue(color)) + 0.7152 * linearChannel(GetGValue(color)) +
           0.0722 * linearChannel(GetBValue(color));
}

double contrastRatio(COLORREF a, COLORREF b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

std::string formatReport(const std::string& stylePath, const std::string& step,
                         const AppliedColors& colors, bool swatches,
                         const std::array<bool, MANAGED_COLOR_COUNT>& fromDefaults,
                         COLORREF windowColor, int* warnings) {
    int warned = 0;
    std::string report = step + ": " + printable(stylePath) + "\n";
    report += "  " + standin::windowColorLine(windowColor) + ", assumed (--window sets it)\n";
    char line[160];
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const AppliedColor& color = colors[i];
        std::snprintf(line, sizeof line, "  %-31s %2d  %s", color.name, color.index,
                      stylefile::colorText(color.value).c_str());
        report += line;
        report += swatches ? "  " + swatch(color.value) : "";
        report += fromDefaults[i] ? "  (default)\n" : "\n";
    }
    report += "  contrast:\n";
    for (const ContrastPair& pair : contrastPairs) {
        const COLORREF text = colorAt(colors, pair.text);
        double ratio = contrastRatio(text, colorAt(colors, pair.background));
        std::string where;
        // A gradient caption's text must be read at both ends; the worse one counts.
        if (pair.gradient >= 0 &&
            colorAt(colors, pair.gradient) != colorAt(colors, pair.background)) {
            const COLORREF end = colorAt(colors, pair.gradient);
            if (contrastRatio(text, end) < ratio) {
                ratio = contrastRatio(text, end);
                where = "  (at the gradient's end, " + stylefile::colorText(end) + ")";
            }
        }
        report += contrastLine(pair.what, ratio);
        if (below(ratio, MINIMUM_CONTRAST)) {
            report += warningBelow(MINIMUM_CONTRAST, "");
            ++warned;
        }
        report += where + "\n";
    }
    const double highlight = contrastRatio(colorAt(colors, COLOR_HIGHLIGHT), windowColor);
    report += contrastLine("highlight on window", highlight);
    if (below(highlight, MINIMUM_HIGHLIGHT_CONTRAST)) {
        report += warningBelow(MINIMUM_HIGHLIGHT_CONTRAST, ", a selection can hardly be seen");
        ++warned;
    }
    report += "\n";
    if (warnings != nullptr) {
        *warnings += warned;
    }
    return report;
}

} // namespace preview
