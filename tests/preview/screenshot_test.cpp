// What the screenshot run makes of the scene's lines and of a picture, and how it names files.
// The pictures Windows really draws are checked under Wine (tests/wine).
#include "tools/preview/scene_pixels.h"
#include "tools/preview/screenshot.h"

#include <gtest/gtest.h>

namespace {

using preview::SceneSample;

TEST(ScenePixels, ReadsTheScenesPointAndWithinLinesOnly) {
    SceneSample sample{};
    ASSERT_TRUE(preview::parseSceneSample("point COLOR_INFOBK 41 501", &sample));
    EXPECT_TRUE(sample.point);
    EXPECT_EQ(sample.color, 8);
    EXPECT_EQ(sample.left, 41);
    EXPECT_EQ(sample.top, 501);
    ASSERT_TRUE(preview::parseSceneSample("within COLOR_CAPTIONTEXT 1 2 30 40", &sample));
    EXPECT_FALSE(sample.point);
    EXPECT_EQ(sample.color, 2);
    EXPECT_EQ(sample.bottom, 40);
    for (const char* other :
         {"painted harbour-dusk.style", "point COLOR_WINDOW 1 2", "point COLOR_INFOBK 1",
          "within COLOR_INFOTEXT 1 2 3", "point COLOR_INFOBK 1 2 3", ""}) {
        EXPECT_FALSE(preview::parseSceneSample(other, &sample)) << other;
    }
}

// A picture in one colour, with a few pixels of another at the given places.
preview::Picture pictureOf(COLORREF fill, const std::vector<std::pair<int, int>>& marks,
                           COLORREF mark) {
    preview::Picture picture{16, 8, {}};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            bool marked = false;
            for (const auto& [mx, my] : marks) {
                marked = marked || (mx == x && my == y);
            }
            const COLORREF c = marked ? mark : fill;
            picture.rgb += {static_cast<char>(GetRValue(c)), static_cast<char>(GetGValue(c)),
                            static_cast<char>(GetBValue(c))};
        }
    }
    return picture;
}

TEST(ScenePixels, ReportsEachColourWindowsDidNotDrawWhereTheSceneSays) {
    const COLORREF grey = RGB(0x80, 0x80, 0x80), text = RGB(0x12, 0x34, 0x56);
    std::array<COLORREF, MANAGED_COLOR_COUNT> values;
    values.fill(grey);
    values[2] = text; // COLOR_CAPTIONTEXT
    const preview::AppliedColors colors = preview::namedColors(values);
    std::vector<SceneSample> everyColour;
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        everyColour.push_back({true, i, 0, 0, 0, 0});
    }
    everyColour[2] = {false, 2, 0, 0, 16, 8};
    const std::vector<std::pair<int, int>> eightTextPixels = {{1, 1}, {2, 1}, {3, 1}, {4, 1},
                                                              {1, 2}, {2, 2}, {3, 2}, {4, 2}};

    EXPECT_TRUE(compareScene(pictureOf(grey, eightTextPixels, text), everyColour, colors).empty());

    const struct {
        const char* what;
        preview::Picture picture;
        std::vector<SceneSample> samples;
        const char* difference;
    } cases[] = {
        {"another colour at a point",
         pictureOf(grey, eightTextPixels, text),
         {everyColour.begin(), everyColour.end() - 1},
         "COLOR_INFOTEXT: not shown in the scene"},
        {"too few pixels of a text", pictureOf(grey, {{1, 1}, {2, 1}}, text), everyColour,
         "COLOR_CAPTIONTEXT: 2 pixels of #123456 within 0,0-16,8, where its text is drawn"},
        // The edit box's selection: the highlight between and around its letters.
        {"too few pixels of the highlight",
         pictureOf(RGB(1, 2, 3), eightTextPixels, text),
         {{false, 6, 0, 0, 16, 8}},
         "COLOR_HIGHLIGHT: 0 pixels of #808080 within 0,0-16,8, where the selection's "
         "background is drawn"},
        {"a point drawn otherwise", pictureOf(RGB(1, 2, 3), eightTextPixels, text), everyColour,
         "COLOR_ACTIVECAPTION: Windows drew #010203 at 0,0, the plug-in applied #808080"},
        {"a sample off the picture",
         pictureOf(grey, eightTextPixels, text),
         {{true, 0, 16, 0, 0, 0}},
         "COLOR_ACTIVECAPTION: 16,0 lies outside the picture"},
        {"a picture cut short", {16, 8, "short"}, everyColour, "the picture is not 16 by 8 pixels"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> found = compareScene(c.picture, c.samples, colors);
        ASSERT_FALSE(found.empty()) << c.what;
        EXPECT_EQ(found.front(), c.difference) << c.what;
    }
}

TEST(ScreenshotFiles, OneStyleKeepsTheNameSeveralGetTheirPositionAndName) {
    EXPECT_EQ(preview::screenshotFiles("out.png", {"styles/a.style"}),
              (std::vector<std::string>{"out.png"}));
    EXPECT_EQ(preview::screenshotFiles("dir/out.png", {"x/a.style", "y/a.style", "b"}),
              (std::vector<std::string>{"dir/out-1-a.png", "dir/out-2-a.png", "dir/out-3-b.png"}));
}

} // namespace
