// IsInString's answer is one byte, and any nonzero byte means found: hosts built with other
// compilers answer 2, 0x80 or 0xFF as readily as 1. Whatever the byte, a reading pass asks the
// host the same questions and applies the same ten colours. The stand-in host also leaves noise
// in the return register above the byte, so reading more than the byte shows up as well.
#include "colors/style_reading.h"
#include "tests/style_fixture.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <tuple>

using ::testing::ElementsAreArray;

namespace {

struct StyleCase {
    const char* name;
    const char* windowColor;
    tests::Style style;
    std::vector<std::string> applied; // the ten colours, in the order SetSysColors takes them
};

// Between them these take both answers of every texture test, of the presence test of a second
// colour and of the choice where the highlight starts.
const StyleCase styles[] = {
    // Starts at the menu title; every second colour is missing, so none may count as defined.
    {"NoKeysAndAWindowOfTheDefaultHighlight",
     "#0a246a",
     {},
     {"#0a246a", "#a6caf0", "#ffffff", "#0a246a", "#a6caf0", "#d4d0c8", "#0a246a", "#ffffff",
      "#ffffe1", "#000000"}},
    {"SolidLabelTitleBehindLabelHighlightWithSecondColour",
     "#336699",
     {{"window.label.focus:", "raised solid"},
      {"window.label.focus.color:", "#102030"},
      {"window.label.focus.colorTo:", "#405060"},
      {"window.label.focus.textColor:", "#708090"},
      {"window.label.unfocus:", "parentrelative"},
      {"window.title.unfocus:", "flat gradient"},
      {"window.title.unfocus.color:", "#111111"},
      {"window.title.unfocus.colorTo:", "#222222"},
      {"window.label.unfocus.textColor:", "#333333"},
      {"menu.hilite:", "flat"},
      {"menu.hilite.color:", "#336699"},
      {"menu.hilite.colorTo:", "#ff0000"},
      {"menu.hilite.textColor:", "#00ff00"},
      {"menu.title:", "flat"},
      {"menu.title.color:", "#202020"},
      {"menu.title.textColor:", "#e0e0e0"},
      {"menu.frame.color:", "#ff00ff"},
      {"menu.frame.textColor:", "#00ffff"}},
     {"#102030", "#102030", "#708090", "#111111", "#222222", "#333333", "#ff0000", "#00ff00",
      "#202020", "#e0e0e0"}},
    // The highlight, like the window, has no second colour: the title gives it.
    {"HighlightWithoutSecondColour",
     "#336699",
     {{"menu.hilite:", "flat"},
      {"menu.hilite.color:", "#336699"},
      {"menu.title.color:", "#445566"},
      {"menu.title.textColor:", "#dddddd"}},
     {"#0a246a", "#a6caf0", "#ffffff", "#0a246a", "#a6caf0", "#d4d0c8", "#445566", "#dddddd",
      "#ffffe1", "#000000"}},
};

void PrintTo(const StyleCase& c, std::ostream* os) {
    *os << c.name;
}

const unsigned char foundBytes[] = {1, 2, 0x10, 0x80, 0xFE, 0xFF};

class TruthByteTest : public StyleTest,
                      public ::testing::WithParamInterface<std::tuple<StyleCase, unsigned char>> {
  protected:
    // One reading pass on the case's style: the host calls made and the colours applied.
    std::vector<std::string> pass(unsigned char foundByte) {
        const StyleCase& c = std::get<0>(GetParam());
        win32_standin::reset();
        win32_standin::setSystemColor(COLOR_WINDOW, tests::colorOf(c.windowColor));
        tests::useStyle(c.style);
        standin::Answers answers;
        answers.foundByte = foundByte;
        standin::answerWith(answers);
        readStyleColors();
        applySystemColors();
        return tests::lookups();
    }
};

} // namespace

TEST_P(TruthByteTest, AnyNonzeroByteMeansFound) {
    const auto asked = pass(1);
    const auto askedNow = pass(std::get<1>(GetParam()));

    EXPECT_THAT(askedNow, ElementsAreArray(asked));
    const auto calls = tests::callsTo("SetSysColors");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_THAT(tests::hexColors(calls[0]), ElementsAreArray(std::get<0>(GetParam()).applied));
}

INSTANTIATE_TEST_SUITE_P(Styles, TruthByteTest,
                         ::testing::Combine(::testing::ValuesIn(styles),
                                            ::testing::ValuesIn(foundBytes)),
                         [](const auto& info) {
                             char byte[8];
                             std::snprintf(byte, sizeof byte, "0x%02X", std::get<1>(info.param));
                             return std::string(std::get<0>(info.param).name) + "_" + byte;
                         });
