// The ten system colours the plug-in applies, read back from the system, and the report on them:
// name, index and #rrggbb of each, and the contrast of each text colour on its background.
#pragma once

#include "colors/system_color_set.h"
#include "tools/preview/style_fix.h"
#include "tools/preview/style_keys.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace preview {

struct AppliedColor {
    const char* name; // the system colour's constant, e.g. "COLOR_ACTIVECAPTION"
    int index;
    COLORREF value;
};

// In the order the plug-in hands them over: active caption, its gradient and text, inactive
// caption, its gradient and text, highlight and its text, tooltip background and text.
using AppliedColors = std::array<AppliedColor, MANAGED_COLOR_COUNT>;

// The ten colours with their names, from their values in that order.
AppliedColors namedColors(const std::array<COLORREF, MANAGED_COLOR_COUNT>& values);

// The ten colours as GetSysColor now gives them.
AppliedColors readAppliedColors();

// The place among the ten of a system colour index, or -1.
int placeOf(int index);

// The colour of one of the ten by its system colour index; window for COLOR_WINDOW, black when
// not one of them.
COLORREF colorAt(const AppliedColors& colors, int index, COLORREF window = 0);

// The sRGB curve: a channel (0..1) as linear light. The one curve of the tool, for contrast and
// for OKLab alike.
double linearChannel(double value);

// The WCAG 2 contrast ratio (1 .. 21) of two colours' relative luminance.
double contrastRatio(COLORREF a, COLORREF b);

// Black or white, whichever reads better on background.
COLORREF readableOn(COLORREF background);

// Below this a text is hard to read on its background.
constexpr double MINIMUM_CONTRAST = 4.5;
// Below this a selection can hardly be told from the window around it.
constexpr double MINIMUM_HIGHLIGHT_CONTRAST = 1.5;

// A ratio as the report prints it: two decimals rounded down, so a ratio under a minimum never
// reads as reaching it ("4.49:1" for 4.4969).
std::string ratioText(double ratio);

// What the report measures: a text (or the highlight) on its background, and for a gradient
// caption on its other end too; COLOR_WINDOW stands for the window colour.
struct ContrastPair {
    const char* what;
    int text;
    int background;
    int gradient; // the background's other end, or -1
    double minimum;
};
constexpr int CONTRAST_PAIR_COUNT = 5;
extern const ContrastPair contrastPairs[CONTRAST_PAIR_COUNT];

// How well a pair reads: the worst ratio over all its text is drawn on, and that colour. A
// gradient caption counts every pixel of its blend as drawn (each channel linear from one end to
// the other, rounded down to 8 bits), where a dark text reads worst in the middle at times.
struct Contrast {
    double ratio;
    COLORREF at;
};
Contrast contrastOf(const ContrastPair& pair, const AppliedColors& colors, COLORREF window);

// A line of advice under a pair of the report, and the change it carries (suggestions.h).
struct Fix {
    int pair;           // the warning it mends, by its place in contrastPairs
    std::string advice; // "suggestion: window.label.unfocus.textColor: #2b3a29  (4.62:1)", ...
    // The key's change, on one Fix of each key changed.
    std::optional<StyleChange> change;
};

// The report for one step ("start", "change 1", ...): the window colour, assumed or given, one
// line per colour, with a 24-bit colour swatch when swatches is set (a terminal) and where it
// came from, then the contrast of each text on its background (a caption's text on the worst
// pixel of its gradient, named when not the caption's own colour) and of the highlight on the
// window, each with the lines of advice given for it. warnings is increased by the number of
// warnings in it.
std::string formatReport(const std::string& stylePath, const std::string& step,
                         const AppliedColors& colors, bool swatches, const ColorSources& sources,
                         COLORREF windowColor, bool windowGiven, const std::vector<Fix>& advice,
                         int* warnings);

} // namespace preview
