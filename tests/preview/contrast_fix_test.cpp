#include "tools/preview/contrast_fix.h"

#include "stylefile/color_text.h"
#include "tests/preview/wcag_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using preview::Oklab;

const COLORREF BLACK = RGB(0, 0, 0), WHITE = RGB(255, 255, 255);

// WCAG 2 from its definition, apart from the tool's own.

// What a colour must read with: another colour, at a minimum.
struct Need {
    COLORREF with;
    double minimum;
};

bool readsAll(COLORREF color, const std::vector<Need>& needs) {
    return std::all_of(needs.begin(), needs.end(),
                       [&](const Need& n) { return wcagRatio(color, n.with) >= n.minimum; });
}

std::optional<COLORREF> nearest(COLORREF color, const std::vector<Need>& needs) {
    return preview::nearestReading(color, [&](COLORREF c) { return readsAll(c, needs); });
}

bool grey(COLORREF c) {
    return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
}

// Of own's hue: off its line by no more than 8-bit rounding, with no more chroma; or a step from
// grey, where rounding leaves no hue.
bool onHue(COLORREF color, COLORREF own) {
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    if (std::max({r, g, b}) - std::min({r, g, b}) <= 1) {
        return !grey(color);
    }
    const Oklab o = preview::toOklab(own), c = preview::toOklab(color);
    const double chroma = std::hypot(o.a, o.b);
    return std::fabs(o.a * c.b - o.b * c.a) / chroma < 0.004 && o.a * c.a + o.b * c.b > 0 &&
           std::hypot(c.a, c.b) < chroma + 0.004;
}

// A lightness less than distance from start's where a colour of hue other than found meets the
// needs, or -1: stepped finely along the line, both ends of the span included.
double nearerMeeting(const Oklab& hue, double start, double distance,
                     const std::vector<Need>& needs, COLORREF found = 0xffffffff) {
    const double margin = 1e-6, end = std::min(1.0, start + distance - margin);
    COLORREF last = 0xffffffff;
    for (double L = std::max(0.0, start - distance + margin); L <= end;
         L = L < end ? std::min(end, L + 1.0 / 1024) : 2) {
        const COLORREF color = preview::fromOklab({L, hue.a, hue.b}).value_or(0xffffffff);
        if (color != last && color != 0xffffffff && color != found && readsAll(color, needs)) {
            return L;
        }
        last = color;
    }
    return -1;
}

std::string describe(COLORREF color, const std::vector<Need>& needs) {
    std::string text = stylefile::colorText(color) + " with";
    for (const Need& need : needs) {
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
    const COLORREF navy = RGB(0x0a, 0x24, 0x6a), cream = RGB(0xff, 0xff, 0xe1);
    enum Kind { ITSELF, ON_HUE, GREY, NONE };
    const struct {
        const char* what;
        COLORREF color;
        std::vector<Need> needs;
        Kind kind;
    } cases[] = {
        {"reads already", WHITE, {{navy, 4.5}}, ITSELF},
        // Darker colours of these hues read; they once became a grey.
        {"a turquoise highlight on a white window", RGB(0x00, 0xf0, 0xe0), {{WHITE, 1.5}}, ON_HUE},
        {"a lime highlight on a white window, under black text",
         RGB(0xc8, 0xff, 0x30),
         {{WHITE, 1.5}, {BLACK, 4.5}},
         ON_HUE},
        // Its chroma lowered where sRGB holds no blue that light; it once became white.
        {"pure blue lightened for black text", RGB(0, 0, 255), {{BLACK, 7}}, ON_HUE},
        // Greys stay greys; they once came back tinted.
        {"a grey text on white", RGB(0x8a, 0x8a, 0x8a), {{WHITE, 4.5}}, GREY},
        {"a grey highlight on white", RGB(0xe4, 0xe4, 0xe4), {{WHITE, 1.5}}, GREY},
        {"a gradient from black to white at 5", RGB(0, 0, 255), {{BLACK, 5}, {WHITE, 5}}, NONE},
        {"text on navy and on cream at once", WHITE, {{navy, 4.5}, {cream, 4.5}}, NONE},
    };
    for (const auto& c : cases) {
        const std::optional<COLORREF> found = nearest(c.color, c.needs);
        const std::string what = std::string(c.what) + ": " + describe(c.color, c.needs);
        ASSERT_EQ(found.has_value(), c.kind != NONE) << what;
        if (!found) {
            continue;
        }
        EXPECT_TRUE(readsAll(*found, c.needs)) << what << ": " << stylefile::colorText(*found);
        EXPECT_EQ(*found == c.color, c.kind == ITSELF) << what;
        EXPECT_TRUE(c.kind == GREY ? grey(*found) : c.kind != ON_HUE || onHue(*found, c.color))
            << what << ": " << stylefile::colorText(*found);
    }
}

// For random colours and one to three colours to read with, checked against the WCAG ratio
// computed above: the colour found reads on them all, keeps its hue (a grey its greyness) or
// falls back to a grey, and no colour of its hue at full chroma nearer in lightness reads (by
// more than its 8-bit rounding).
TEST(ContrastFix, FoundColourReadsKeepsItsHueAndNoNearerOneOfItsHueReads) {
    std::mt19937 random(4500);
    const double minimums[] = {3.0, 4.5, 4.5, 7.0};
    int hue = 0, greys = 0, none = 0;
    for (int i = 0; i < 1000; ++i) {
        // Any colour, or one near grey as texts mostly are, at times a grey.
        const auto any = [&] { return static_cast<COLORREF>(random() & 0xffffff); };
        COLORREF color = random() % 2 ? any() : (any() & 0x0f0f0f) ^ (0x010101 * (random() & 0xf0));
        color = random() % 8 == 0 ? 0x010101 * (color & 0xff) : color;
        const double minimum = minimums[random() % 4];
        std::vector<Need> needs = {{any(), minimum}};
        if (random() % 3 == 0) {
            needs.push_back({needs[0].with ^ (any() & 0x3f3f3f), minimum});
        }
        if (random() % 6 == 0) {
            needs.push_back({any(), minimum});
        }
        if (random() % 4 == 0) {
            needs.push_back({any(), 1.5});
        }
        const std::string what = describe(color, needs);
        const std::optional<COLORREF> found = nearest(color, needs);
        if (readsAll(color, needs)) {
            EXPECT_EQ(found, color) << what;
            continue;
        }
        if (!found) {
            ++none;
            EXPECT_EQ(nearerMeeting(preview::toOklab(color), preview::toOklab(color).L, 1, needs),
                      -1)
                << what;
            continue;
        }
        const std::string result = what + ": " + stylefile::colorText(*found);
        ASSERT_TRUE(readsAll(*found, needs)) << result;
        EXPECT_TRUE(grey(color) ? grey(*found) : onHue(*found, color) || grey(*found)) << result;
        (grey(*found) ? greys : hue) += 1;
        const Oklab own = preview::toOklab(color);
        if (!grey(color) && onHue(*found, color)) {
            EXPECT_EQ(nearerMeeting(own, own.L,
                                    std::fabs(preview::toOklab(*found).L - own.L) - 0.003, needs,
                                    *found),
                      -1)
                << result;
        }
    }
    // The draw reaches every branch.
    EXPECT_GT(hue, 300);
    EXPECT_GT(greys, 30);
    EXPECT_GT(none, 50);
}

} // namespace
