#include "tools/preview/contrast_fix.h"

#include "stylefile/color_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using preview::ContrastNeed;
using preview::Oklab;
using preview::Suggestion;

const COLORREF BLACK = RGB(0, 0, 0), WHITE = RGB(255, 255, 255);

// WCAG 2 from its definition, apart from the tool's own.
double wcagLuminance(COLORREF color) {
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> table{};
        for (int v = 0; v < 256; ++v) {
            const double c = v / 255.0;
            table[v] = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return table;
    }();
    return 0.2126 * linear[GetRValue(color)] + 0.7152 * linear[GetGValue(color)] +
           0.0722 * linear[GetBValue(color)];
}

double wcagRatio(COLORREF x, COLORREF y) {
    const double a = wcagLuminance(x) + 0.05, b = wcagLuminance(y) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

// Judged on the figure as the report prints it, to two decimals.
bool meetsAll(COLORREF color, const std::vector<ContrastNeed>& needs) {
    for (const ContrastNeed& need : needs) {
        if (std::round(wcagRatio(color, need.with) * 100) < need.minimum * 100) {
            return false;
        }
    }
    return true;
}

// A lightness less than distance from start's where hue's colour meets the needs, or -1:
// stepped finely along the line, both ends of the span included.
double nearerMeeting(const Oklab& hue, double start, double distance,
                     const std::vector<ContrastNeed>& needs) {
    const double margin = 1e-6, end = std::min(1.0, start + distance - margin);
    COLORREF last = 0xffffffff;
    for (double L = std::max(0.0, start - distance + margin); L <= end;
         L = L < end ? std::min(end, L + 1.0 / 1024) : 2) {
        const COLORREF color = preview::fromOklab({L, hue.a, hue.b}).value_or(0xffffffff);
        if (color != last && color != 0xffffffff && meetsAll(color, needs)) {
            return L;
        }
        last = color;
    }
    return -1;
}

std::string describe(COLORREF color, const std::vector<ContrastNeed>& needs) {
    std::string text = stylefile::colorText(color) + " with";
    for (const ContrastNeed& need : needs) {
        text += " " + stylefile::colorText(need.with) + " at " + std::to_string(need.minimum);
    }
    return text;
}

TEST(ContrastFix, OklabMatchesItsPublishedValuesAndComesBack) {
    const struct {
        COLORREF color;
        Oklab lab;
    } cases[] = {
        {WHITE, {1, 0, 0}},
        {BLACK, {0, 0, 0}},
        {RGB(255, 0, 0), {0.62796, 0.22486, 0.12585}},
        {RGB(0, 255, 0), {0.86644, -0.23389, 0.17950}},
        {RGB(0, 0, 255), {0.45201, -0.03246, -0.31153}},
    };
    for (const auto& c : cases) {
        const Oklab lab = preview::toOklab(c.color);
        EXPECT_NEAR(lab.L, c.lab.L, 1e-4) << stylefile::colorText(c.color);
        EXPECT_NEAR(lab.a, c.lab.a, 1e-4) << stylefile::colorText(c.color);
        EXPECT_NEAR(lab.b, c.lab.b, 1e-4) << stylefile::colorText(c.color);
    }
    std::mt19937 random(21);
    for (int i = 0; i < 5000; ++i) {
        const COLORREF color = random() & 0xffffff;
        EXPECT_EQ(preview::fromOklab(preview::toOklab(color)), color)
            << stylefile::colorText(color);
    }
    // As light as white with the chroma of red is no sRGB colour.
    EXPECT_EQ(preview::fromOklab({1, 0.22486, 0.12585}), std::nullopt);
}

TEST(ContrastFix, WorkedCases) {
    const COLORREF navy = RGB(0x0a, 0x24, 0x6a), cream = RGB(0xff, 0xff, 0xe1),
                   blue = RGB(0, 0, 255), red = RGB(255, 0, 0), slate = RGB(0x80, 0x90, 0xa0),
                   mid = RGB(0x76, 0x76, 0x76);
    enum Kind { ITSELF, ON_HUE, TO_BLACK, TO_WHITE, TO_GREY, NONE };
    const struct {
        const char* what;
        COLORREF color;
        std::vector<ContrastNeed> needs;
        Kind kind;
    } cases[] = {
        {"reads already", WHITE, {{navy, 4.5}}, ITSELF},
        {"a caption changed for its text",
         RGB(0x80, 0x80, 0x80),
         {{RGB(0xd4, 0xd0, 0xc8), 4.5}},
         ON_HUE},
        {"blue cannot lighten enough for black", blue, {{BLACK, 4.5}}, TO_WHITE},
        {"nor darken enough for grey", blue, {{RGB(0x80, 0x80, 0x80), 4.5}}, TO_BLACK},
        {"both read: red is nearer white", red, {{mid, 4.5}}, TO_WHITE},
        {"both read: blue is nearer black", blue, {{mid, 4.5}}, TO_BLACK},
        {"a gradient from black to white: a mid grey at 4.5",
         blue,
         {{BLACK, 4.5}, {WHITE, 4.5}},
         TO_GREY},
        {"a gradient from black to white: nothing at 5", blue, {{BLACK, 5}, {WHITE, 5}}, NONE},
        {"text on navy and on cream at once", WHITE, {{navy, 4.5}, {cream, 4.5}}, NONE},
        {"the tooltip's text alone", slate, {{cream, 4.5}}, ON_HUE},
        {"the tooltip's text that is the highlight's too",
         slate,
         {{cream, 4.5}, {navy, 4.5}},
         NONE},
        {"a highlight held against its text and the window",
         RGB(0x20, 0x20, 0x20),
         {{WHITE, 4.5}, {BLACK, 1.5}},
         ON_HUE},
    };
    for (const auto& c : cases) {
        const Suggestion s = preview::suggestColor(c.color, c.needs);
        const std::string what = std::string(c.what) + ": " + stylefile::colorText(s.color);
        ASSERT_EQ(s.found, c.kind != NONE) << what;
        if (!s.found) {
            continue;
        }
        EXPECT_TRUE(meetsAll(s.color, c.needs)) << what;
        EXPECT_GE(std::round(s.ratio * 100), c.needs[0].minimum * 100) << what;
        const Oklab own = preview::toOklab(c.color);
        const bool onHue = preview::fromOklab({s.lightness, own.a, own.b}) == s.color;
        const bool grey =
            GetRValue(s.color) == GetGValue(s.color) && GetGValue(s.color) == GetBValue(s.color);
        switch (c.kind) {
        case ITSELF:
            EXPECT_EQ(s.color, c.color) << what;
            break;
        case ON_HUE:
            EXPECT_TRUE(onHue && s.color != c.color) << what;
            break;
        case TO_BLACK:
        case TO_WHITE:
            EXPECT_EQ(s.color, c.kind == TO_BLACK ? BLACK : WHITE) << what;
            break;
        default:
            EXPECT_TRUE(grey && !onHue && s.color != BLACK && s.color != WHITE) << what;
        }
    }
    // Judged as the report prints it: a ratio a little under 4.5 shows as 4.50 and does not warn.
    const double printed = preview::suggestColor(RGB(0xa0, 0xc0, 0xf0), {WHITE}, 4.5).ratio;
    EXPECT_TRUE(printed < 4.5 && printed >= 4.495) << printed;
}

// For random colours and one to three colours to read with, checked against the WCAG ratio
// computed above: the suggestion meets them all, and no colour of its hue and chroma nearer in
// lightness does; a fallback only where the whole line fails, black or white before a grey.
TEST(ContrastFix, SuggestionMeetsEveryNeedAndNoNearerColourOfItsHueDoes) {
    std::mt19937 random(4500);
    const double minimums[] = {3.0, 4.5, 4.5, 7.0};
    int onHue = 0, fallbacks = 0, none = 0;
    for (int i = 0; i < 1000; ++i) {
        // Any colour, or one near grey as texts mostly are; one colour to read on, at times the
        // other end of its gradient, another text's background (a key that feeds two texts) or
        // the window a highlight is held against.
        const auto any = [&] { return static_cast<COLORREF>(random() & 0xffffff); };
        const COLORREF color =
            random() % 2 ? any() : (any() & 0x0f0f0f) ^ (0x010101 * (random() & 0xf0));
        const double minimum = minimums[random() % 4];
        std::vector<ContrastNeed> needs = {{any(), minimum}};
        if (random() % 3 == 0) {
            const COLORREF near = needs[0].with ^ (any() & 0x3f3f3f);
            needs.push_back({near, minimum});
        }
        if (random() % 6 == 0) {
            needs.push_back({any(), minimum});
        }
        if (random() % 4 == 0) {
            needs.push_back({any(), 1.5});
        }
        const std::string what = describe(color, needs);
        const Suggestion s = preview::suggestColor(color, needs);
        if (meetsAll(color, needs)) {
            EXPECT_TRUE(s.found && s.color == color) << what;
            continue;
        }
        if (s.found) {
            ASSERT_TRUE(meetsAll(s.color, needs)) << what << ": " << stylefile::colorText(s.color);
            double highest = 0, worst = 21;
            for (const ContrastNeed& need : needs) {
                highest = std::max(highest, need.minimum);
            }
            for (const ContrastNeed& need : needs) {
                worst = need.minimum == highest ? std::min(worst, wcagRatio(s.color, need.with))
                                                : worst;
            }
            EXPECT_NEAR(s.ratio, worst, 1e-9) << what;
        }
        const Oklab own = preview::toOklab(color);
        if (s.found && preview::fromOklab({s.lightness, own.a, own.b}) == s.color) {
            ++onHue;
            EXPECT_EQ(nearerMeeting(own, own.L, std::fabs(s.lightness - own.L), needs), -1)
                << what << ": " << stylefile::colorText(s.color);
            continue;
        }
        ASSERT_EQ(nearerMeeting(own, own.L, 1, needs), -1) << what;
        const COLORREF nearer = own.L < 0.5 ? BLACK : WHITE, farther = nearer ^ WHITE;
        if (meetsAll(nearer, needs) || meetsAll(farther, needs)) {
            ++fallbacks;
            EXPECT_EQ(s.color, meetsAll(nearer, needs) ? nearer : farther) << what;
            continue;
        }
        const double distance = s.found ? std::fabs(preview::toOklab(s.color).L - own.L) : 2;
        for (int v = 0; v < 256; ++v) {
            const COLORREF grey = RGB(v, v, v);
            EXPECT_FALSE(meetsAll(grey, needs) && grey != s.color &&
                         std::fabs(preview::toOklab(grey).L - own.L) < distance)
                << what << ": " << stylefile::colorText(grey) << " rather than "
                << (s.found ? stylefile::colorText(s.color) : "none");
        }
        none += s.found ? 0 : 1;
    }
    // The draw reaches every branch.
    EXPECT_GT(onHue, 300);
    EXPECT_GT(fallbacks, 100);
    EXPECT_GT(none, 50);
}

} // namespace
