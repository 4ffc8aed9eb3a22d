#include "tools/preview/applied_colors.h"
#include "tools/preview/preview_options.h"

#include "stylefile/color_text.h"

#include <gtest/gtest.h>

namespace {

using preview::AppliedColors;

// Solid captions: one colour at both ends.
AppliedColors sampleColors(COLORREF captionText) {
    return preview::namedColors({RGB(0x0a, 0x24, 0x6a), RGB(0x0a, 0x24, 0x6a), captionText,
                                 RGB(0x80, 0x80, 0x80), RGB(0x80, 0x80, 0x80),
                                 RGB(0xd4, 0xd0, 0xc8), RGB(0, 0, 0), RGB(0xff, 0xff, 0xff),
                                 RGB(0xff, 0xff, 0xe1), RGB(0, 0, 0)});
}

// The report with no colour marked as a default, on the tool's default window.
std::string reportOf(const std::string& path, const std::string& step, const AppliedColors& colors,
                     bool swatches) {
    int warnings = 0;
    return preview::formatReport(path, step, colors, swatches, {}, preview::Options().window, false,
                                 {}, &warnings);
}

TEST(Contrast, FollowsTheRelativeLuminanceFormula) {
    const struct {
        COLORREF a, b;
        double ratio;
    } cases[] = {
        {RGB(0, 0, 0), RGB(255, 255, 255), 21.0},
        {RGB(255, 255, 255), RGB(0, 0, 0), 21.0}, // order does not matter
        {RGB(0x12, 0x34, 0x56), RGB(0x12, 0x34, 0x56), 1.0},
        {RGB(0x77, 0x77, 0x77), RGB(255, 255, 255), 4.48},
        {RGB(0x76, 0x76, 0x76), RGB(255, 255, 255), 4.54},
        {RGB(255, 0, 0), RGB(255, 255, 255), 4.00},
        {RGB(0, 0, 255), RGB(0, 0, 0), 2.44},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(preview::contrastRatio(c.a, c.b), c.ratio, 0.005)
            << stylefile::colorText(c.a) << " on " << stylefile::colorText(c.b);
    }
}

TEST(Report, ListsTheTenColoursWithNameIndexAndHex) {
    const std::string report =
        reportOf("/s/x.style", "start", sampleColors(RGB(255, 255, 255)), false);
    EXPECT_EQ(report.rfind("start: /s/x.style\n", 0), 0u) << report;
    for (const char* line : {"COLOR_ACTIVECAPTION              2  #0a246a\n",
                             "COLOR_GRADIENTACTIVECAPTION     27  #0a246a\n",
                             "COLOR_INACTIVECAPTIONTEXT       19  #d4d0c8\n",
                             "COLOR_INFOBK                    24  #ffffe1\n"}) {
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
    }
    EXPECT_EQ(report.find("\x1b["), std::string::npos) << "no swatch off a terminal";
}

TEST(Report, WarnsOnlyForPairsBelowTheMinimum) {
    // Focused: white on #0a246a (14.2:1); unfocused #d4d0c8 on grey (2.4:1); black/white 21:1.
    const std::string report = reportOf("x", "start", sampleColors(RGB(255, 255, 255)), false);
    EXPECT_NE(report.find("caption text on caption (focused)     14.2"), std::string::npos)
        << report;
    const std::size_t unfocused = report.find("caption text on caption (unfocused)    2.");
    ASSERT_NE(unfocused, std::string::npos) << report;
    EXPECT_EQ(report.find("warning"), report.find("warning: below 4.5:1", unfocused));
    EXPECT_EQ(report.find("warning", report.find("warning") + 1), std::string::npos) << report;
    const std::size_t highlight = report.find("highlight text on highlight");
    ASSERT_NE(highlight, std::string::npos);
    EXPECT_EQ(report.substr(highlight, report.find('\n', highlight) - highlight).substr(37),
              " 21.00:1");
}

TEST(Report, WarnsJustBelowButNotAtTheMinimum) {
    // #777777 on white is 4.48:1, #767676 4.54:1.
    auto focusedLine = [](COLORREF text, COLORREF background) {
        AppliedColors colors = sampleColors(text);
        colors[0].value = colors[1].value = background;
        const std::string report = reportOf("x", "s", colors, false);
        const std::size_t at = report.find("(focused)");
        return report.substr(at, report.find('\n', at) - at);
    };
    EXPECT_NE(focusedLine(RGB(0x77, 0x77, 0x77), RGB(255, 255, 255)).find("warning"),
              std::string::npos);
    EXPECT_EQ(focusedLine(RGB(0x76, 0x76, 0x76), RGB(255, 255, 255)).find("warning"),
              std::string::npos);
}

// The ratio is judged unrounded and printed rounded down, so a figure never reads as reaching a
// minimum it misses; a gradient counts at its worst pixel, inside it as well as at its ends.
TEST(Report, JudgesEachPairAtItsWorstAndNeverPrintsItBetter) {
    const struct {
        COLORREF text, caption, gradient;
        const char* line;
    } cases[] = {
        // 4.49989:1, once printed as 4.50 and passed.
        {RGB(0x00, 0x6f, 0xfb), RGB(255, 255, 255), RGB(255, 255, 255),
         " 4.49:1  warning: below 4.5:1\n"},
        {RGB(0x76, 0x76, 0x76), RGB(255, 255, 255), RGB(255, 255, 255), " 4.54:1\n"},
        // 5.20:1 and 11.87:1 at the ends; the blend's middle is darker than either.
        {RGB(0x20, 0x20, 0x20), RGB(0xff, 0x00, 0xff), RGB(0x00, 0xff, 0x00),
         " 3.53:1  warning: below 4.5:1  (inside the gradient, #ac52ac)\n"},
        {RGB(0xff, 0xff, 0xff), RGB(0x10, 0x20, 0x30), RGB(0x70, 0x80, 0x90),
         " 4.05:1  warning: below 4.5:1  (at the gradient's end, #708090)\n"},
    };
    for (const auto& c : cases) {
        AppliedColors colors = sampleColors(c.text);
        colors[0].value = c.caption;
        colors[1].value = c.gradient;
        const std::string report = reportOf("x", "s", colors, false);
        const std::size_t at = report.find("    caption text on caption (focused)") + 42;
        EXPECT_EQ(report.substr(at, report.find('\n', at) + 1 - at), c.line) << report;
    }
    // A highlight on the window just under 1.5:1 (1.4977:1).
    AppliedColors colors = sampleColors(RGB(0, 0, 0));
    colors[6].value = RGB(0xa9, 0xdf, 0xc2);
    EXPECT_NE(reportOf("x", "s", colors, false)
                  .find("highlight on window                    1.49:1  warning: below 1.5:1"),
              std::string::npos);
}

TEST(Report, SwatchesAreTrueColourBlocksOnATerminal) {
    const std::string report = reportOf("x", "start", sampleColors(RGB(255, 255, 255)), true);
    EXPECT_NE(report.find("#0a246a  \x1b[48;2;10;36;106m"), std::string::npos);
    EXPECT_NE(report.find("#ffffe1  \x1b[48;2;255;255;225m"), std::string::npos);
}

TEST(AppliedColors, AreReadBackFromTheSystem) {
    SetSysColors(1, std::array<INT, 1>{COLOR_HIGHLIGHT}.data(),
                 std::array<COLORREF, 1>{RGB(1, 2, 3)}.data());
    const AppliedColors colors = preview::readAppliedColors();
    EXPECT_EQ(preview::colorAt(colors, COLOR_HIGHLIGHT), RGB(1, 2, 3));
    const int expected[] = {2, 27, 9, 3, 28, 19, 13, 14, 24, 23};
    for (std::size_t i = 0; i < colors.size(); ++i) {
        EXPECT_EQ(colors[i].index, expected[i]) << colors[i].name;
    }
}

} // namespace
