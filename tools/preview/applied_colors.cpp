#include "tools/preview/applied_colors.h"

#include "colors/system_color_set.h"
#include "stylefile/color_text.h"

#include <cmath>
#include <cstdio>

namespace preview {
namespace {

struct ContrastPair {
    const char* what;
    int text;
    int background;
};

const ContrastPair contrastPairs[] = {
    {"caption text on caption (focused)", COLOR_CAPTIONTEXT, COLOR_ACTIVECAPTION},
    {"caption text on caption (unfocused)", COLOR_INACTIVECAPTIONTEXT, COLOR_INACTIVECAPTION},
    {"highlight text on highlight", COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT},
    {"tooltip text on tooltip", COLOR_INFOTEXT, COLOR_INFOBK},
};

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

double relativeLuminance(COLORREF color) {
    return 0.2126 * linearChannel(GetRValue(color)) + 0.7152 * linearChannel(GetGValue(color)) +
           0.0722 * linearChannel(GetBValue(color));
}

double contrastRatio(COLORREF a, COLORREF b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

std::string formatReport(const std::string& stylePath, const std::string& step,
                         const AppliedColors& colors, bool swatches) {
    std::string report = step + ": " + stylePath + "\n";
    char line[160];
    for (const AppliedColor& color : colors) {
        std::snprintf(line, sizeof line, "  %-31s %2d  %s", color.name, color.index,
                      stylefile::colorText(color.value).c_str());
        report += line;
        report += swatches ? "  " + swatch(color.value) + "\n" : "\n";
    }
    report += "  contrast:\n";
    for (const ContrastPair& pair : contrastPairs) {
        const double ratio =
            contrastRatio(colorAt(colors, pair.text), colorAt(colors, pair.background));
        std::snprintf(line, sizeof line, "    %-37s %5.2f:1", pair.what, ratio);
        report += line;
        // Compared as printed, so a figure shown as 4.50 never carries the warning.
        if (std::round(ratio * 100) < MINIMUM_CONTRAST * 100) {
            report += "  warning: below 4.5:1";
        }
        report += "\n";
    }
    return report;
}

} // namespace preview
