// The report's figures and its suggestions, held to a WCAG 2 computation of their own over every
// pixel of a gradient as Wine draws it, written apart from the tool's.
#include "tools/preview/suggestions.h"

#include "stylefile/color_text.h"
#include "tests/preview/wcag_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using preview::AppliedColors;
using preview::ColorSources;
using preview::Fix;

COLORREF valueOf(const AppliedColors& colors, int index, COLORREF window) {
    for (const auto& color : colors) {
        if (color.index == index) {
            return color.value;
        }
    }
    return index == COLOR_WINDOW ? window : 0;
}

// The worst ratio of a pair, over a gradient's pixels as Wine fills a caption 4080 pixels wide:
// each channel (from * (width - x) + to * x) / width, in whole numbers.
double worstRatio(const preview::ContrastPair& pair, const AppliedColors& colors, COLORREF window) {
    const COLORREF text = valueOf(colors, pair.text, window);
    const COLORREF from = valueOf(colors, pair.background, window);
    const COLORREF to = pair.gradient < 0 ? from : valueOf(colors, pair.gradient, window);
    const int width = 4080;
    double worst = wcagRatio(text, from);
    for (int x = 1; x <= width && to != from; ++x) {
        const auto channel = [&](int a, int b) { return (a * (width - x) + b * x) / width; };
        worst = std::min(worst, wcagRatio(text, RGB(channel(GetRValue(from), GetRValue(to)),
                                                    channel(GetGValue(from), GetGValue(to)),
                                                    channel(GetBValue(from), GetBValue(to)))));
    }
    return worst;
}

std::string keyAt(const ColorSources& sources, int i) {
    return sources.lookup[i] == StyleLookup::FixedColor ? "" : entryOf(sources.lookup[i]).key;
}

// The colours with every mending change put in each colour its key gives.
AppliedColors mended(AppliedColors colors, const ColorSources& sources,
                     const std::vector<Fix>& fixes) {
    for (const Fix& fix : fixes) {
        COLORREF value = 0;
        if (fix.change && stylefile::parseColor(fix.change->value, value)) {
            for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
                colors[i].value = keyAt(sources, i) == fix.change->key ? value : colors[i].value;
            }
        }
    }
    return colors;
}

// A style's ten colours as the plug-in reads them: captions from their labels or titles, solid
// or not, the highlight and tooltip from the menu keys, each key with one colour.
struct Styled {
    AppliedColors colors;
    ColorSources sources;
};

Styled styled(const std::vector<StyleLookup>& lookups, const std::vector<COLORREF>& values) {
    Styled s{preview::namedColors({}), {}};
    std::map<std::string, COLORREF> given;
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        s.sources.lookup[i] = lookups[i];
        s.sources.line[i] = i + 1;
        const std::string key = keyAt(s.sources, i);
        s.colors[i].value = key.empty() ? values[i] : given.emplace(key, values[i]).first->second;
    }
    return s;
}

using L = StyleLookup;

// Light highlights under light text on a white window: one set of changes mends both pairs, as
// each change computed alone did not.
TEST(Suggestions, ChangesForOnePairAndAnotherHoldTogether) {
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    const std::vector<StyleLookup> hilite = {L::FocusTitleColor,     L::FocusTitleColorTo,
                                             L::FocusLabelTextColor, L::UnfocusTitleColor,
                                             L::UnfocusTitleColorTo, L::UnfocusLabelTextColor,
                                             L::HiliteColor,         L::HiliteTextColor,
                                             L::TooltipFrameColor,   L::TooltipFrameTextColor};
    const struct {
        COLORREF highlight, text;
    } cases[] = {
        {RGB(0xff, 0xf0, 0xe0), RGB(0xf0, 0xe0, 0xd0)},
        {RGB(0xe8, 0xf8, 0xff), RGB(0xd8, 0xf0, 0xff)},
        {RGB(0xfa, 0xfa, 0xfa), RGB(0xee, 0xee, 0xee)},
    };
    for (const auto& c : cases) {
        const Styled s = styled(
            hilite, {black, black, white, black, black, white, c.highlight, c.text, white, black});
        const std::vector<Fix> fixes = preview::suggestFixes(s.colors, s.sources, white);
        const AppliedColors after = mended(s.colors, s.sources, fixes);
        for (const auto& pair : preview::contrastPairs) {
            EXPECT_GE(worstRatio(pair, after, white), pair.minimum)
                << pair.what << " with " << stylefile::colorText(c.highlight) << " and "
                << stylefile::colorText(c.text);
        }
    }
}

// The plug-in's own highlight on a window of its colour: nothing of the style gave it.
TEST(Suggestions, SayWhyNothingCanMend) {
    const COLORREF navy = RGB(0x0a, 0x24, 0x6a);
    Styled s =
        styled({L::FocusTitleColor, L::FocusTitleColorTo, L::FocusLabelTextColor,
                L::UnfocusTitleColor, L::UnfocusTitleColorTo, L::UnfocusLabelTextColor,
                L::FixedColor, L::FixedColor, L::TooltipFrameColor, L::TooltipFrameTextColor},
               {0, 0, 0xffffff, 0, 0, 0xffffff, navy, 0xffffff, 0xffffff, 0});
    const std::vector<Fix> fixes = preview::suggestFixes(s.colors, s.sources, navy);
    ASSERT_EQ(fixes.size(), 1u);
    EXPECT_EQ(fixes[0].pair, 4);
    EXPECT_FALSE(fixes[0].change);
    EXPECT_EQ(fixes[0].advice.rfind("no suggestion: this is the plug-in's own colour", 0), 0u);
}

// A key the style lacks gives each colour its default: menu.title.textColor is white on the
// highlight and black on the black tooltip. White for it moves the tooltip's text, so it is
// suggested, though the highlight's text is white already.
TEST(Suggestions, AKeyWithAColourOfItsOwnForEachFieldIsChangedWhereItMoves) {
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    Styled s =
        styled({L::FocusTitleColor, L::FocusTitleColorTo, L::FocusLabelTextColor,
                L::UnfocusTitleColor, L::UnfocusTitleColorTo, L::UnfocusLabelTextColor,
                L::TitleColor, L::TitleTextColor, L::TooltipTitleColor, L::TooltipTitleTextColor},
               {black, black, white, black, black, white, black, white, black, black});
    s.colors[9].value = black; // styled gives each key one colour
    const std::vector<Fix> fixes = preview::suggestFixes(s.colors, s.sources, white);
    ASSERT_EQ(fixes.size(), 1u);
    EXPECT_EQ(fixes[0].pair, 3);
    EXPECT_EQ(fixes[0].advice, "suggestion: menu.title.textColor: #ffffff  (21.00:1)");
    ASSERT_TRUE(fixes[0].change);
    EXPECT_EQ(fixes[0].change->line, 8);
}

// A printed ratio: the figure after a pair's name in the report, or in a suggestion's brackets.
double printedAfter(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    double figure = -1;
    return at == std::string::npos ||
                   std::sscanf(text.c_str() + at + marker.size(), " %lf", &figure) != 1
               ? -1
               : figure;
}

// Random styles: every figure the report prints is never above the pair's ratio and only just
// below it; a warning stands where the ratio is under its minimum; the suggestions, all put in,
// give each key one colour and make every pair their keys are drawn in read, with the figures
// they print; a pair left unread is told why.
TEST(Suggestions, EveryFigureAndEveryMendedCopyAgreeWithWcagOverTheWholeGradient) {
    std::mt19937 random(26);
    const auto pick = [&](std::vector<StyleLookup> from) { return from[random() % from.size()]; };
    int mendedPairs = 0, gradients = 0;
    // Under the sanitizers, which look for faults of memory rather than of judgement, 50 of them.
    const int styles = SANITIZED ? 50 : 200;
    for (int n = 0; n < styles; ++n) {
        std::vector<StyleLookup> lookups;
        for (const bool focus : {true, false}) {
            const bool title = random() % 2;
            const StyleLookup color = focus ? (title ? L::FocusTitleColor : L::FocusLabelColor)
                                            : (title ? L::UnfocusTitleColor : L::UnfocusLabelColor);
            const StyleLookup colorTo = static_cast<StyleLookup>(static_cast<int>(color) + 1);
            lookups.push_back(color);
            lookups.push_back(random() % 4 == 0 ? color : colorTo); // solid at times
            lookups.push_back(focus ? L::FocusLabelTextColor : L::UnfocusLabelTextColor);
        }
        const StyleLookup highlight =
            pick({L::HiliteColor, L::TitleColor, L::FrameColor, L::FixedColor});
        lookups.push_back(highlight);
        lookups.push_back(highlight == L::HiliteColor  ? L::HiliteTextColor
                          : highlight == L::TitleColor ? L::TitleTextColor
                          : highlight == L::FrameColor ? L::FrameTextColor
                                                       : L::FixedColor);
        const bool titleTip = random() % 2;
        lookups.push_back(titleTip ? L::TooltipTitleColor : L::TooltipFrameColor);
        lookups.push_back(titleTip ? L::TooltipTitleTextColor : L::TooltipFrameTextColor);
        std::vector<COLORREF> values;
        for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
            // Any colour, or a text near grey.
            const COLORREF any = random() & 0xffffff;
            values.push_back(i % 3 == 2 && random() % 2 ? 0x010101 * (any & 0xff) : any);
        }
        const COLORREF window = random() % 2 ? RGB(255, 255, 255) : random() & 0xffffff;
        const Styled s = styled(lookups, values);
        const std::vector<Fix> fixes = preview::suggestFixes(s.colors, s.sources, window);
        int warnings = 0;
        const std::string report = preview::formatReport("x", "s", s.colors, false, s.sources,
                                                         window, true, fixes, &warnings);
        const AppliedColors after = mended(s.colors, s.sources, fixes);
        std::set<std::string> changed;
        for (const Fix& fix : fixes) {
            EXPECT_TRUE(!fix.change || changed.insert(fix.change->key).second)
                << fix.change->key << " has more than one value\n"
                << report;
        }
        for (int p = 0; p < preview::CONTRAST_PAIR_COUNT; ++p) {
            const preview::ContrastPair& pair = preview::contrastPairs[p];
            gradients += pair.gradient >= 0 && valueOf(s.colors, pair.background, window) !=
                                                   valueOf(s.colors, pair.gradient, window);
            const double before = worstRatio(pair, s.colors, window);
            const std::string line = report.substr(report.find(std::string("    ") + pair.what));
            const std::string firstLine = line.substr(0, line.find('\n'));
            const double printed = printedAfter(firstLine, pair.what);
            EXPECT_TRUE(printed <= before && printed > before - 0.02)
                << firstLine << " for " << before << "\n"
                << report;
            EXPECT_EQ(firstLine.find("warning") != std::string::npos, before < pair.minimum)
                << firstLine << " for " << before;
            bool drawn = false, told = false;
            for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
                const int index = managedColorIndices[i];
                drawn |= changed.count(keyAt(s.sources, i)) > 0 &&
                         (index == pair.text || index == pair.background || index == pair.gradient);
            }
            const double now = worstRatio(pair, after, window);
            EXPECT_TRUE(!drawn || now >= pair.minimum) << pair.what << " left at " << now << "\n"
                                                       << report;
            for (const Fix& fix : fixes) {
                if (fix.pair != p) {
                    continue;
                }
                told = true;
                const bool suggested = fix.advice.rfind("suggestion: ", 0) == 0;
                const double figure = printedAfter(fix.advice, "  (");
                EXPECT_TRUE(!suggested ||
                            (now >= pair.minimum && figure <= now && figure > now - 0.02))
                    << fix.advice << " for " << now;
            }
            EXPECT_TRUE(before >= pair.minimum || told) << pair.what << "\n" << report;
            mendedPairs += before < pair.minimum && now >= pair.minimum;
        }
    }
    // The draw reaches gradients and mends many pairs.
    EXPECT_GT(gradients, styles);
    EXPECT_GT(mendedPairs, styles);
}

} // namespace
