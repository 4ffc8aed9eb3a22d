// The highlight chosen against the window colour: every way through the fallback chain, with
// the exact host calls each element makes.
#include "colors/menu_highlight.h"
#include "tests/style_fixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAreArray;

namespace {

const std::string WINDOW = "#336699"; // the window colour in these cases; not white

std::vector<std::string> startAtHilite() {
    return {"ReadString(menu.hilite:, parentrelative) = flat",
            "IsInString(flat, parentrelative) = 0"};
}

std::vector<std::string> startAtTitle() {
    return {"ReadString(menu.hilite:, parentrelative) = parentrelative",
            "IsInString(parentrelative, parentrelative) = 1"};
}

std::vector<std::string> colors(const std::string& element, const std::string& color,
                                const std::string& text) {
    return {"ReadColor(menu." + element + ".color:, #0a246a) = " + color,
            "ReadColor(menu." + element + ".textColor:, #ffffff) = " + text};
}

std::vector<std::string> secondUndefined(const std::string& element) {
    return {"ReadString(menu." + element + ".colorTo:, doesnotexist) = doesnotexist",
            "IsInString(doesnotexist, doesnotexist) = 1"};
}

std::vector<std::string> secondIs(const std::string& element, const std::string& color) {
    return {"ReadString(menu." + element + ".colorTo:, doesnotexist) = " + color,
            "IsInString(" + color + ", doesnotexist) = 0",
            "ReadColor(menu." + element + ".colorTo:, #0a246a) = " + color};
}

struct HighlightCase {
    const char* name;
    tests::Style style;
    std::vector<std::string> lookups;
    std::string highlight;
    std::string highlightText;
};

void PrintTo(const HighlightCase& c, std::ostream* os) {
    *os << c.name;
}

class MenuHighlightTest : public StyleTest, public ::testing::WithParamInterface<HighlightCase> {
  protected:
    void SetUp() override {
        StyleTest::SetUp();
        win32_standin::setSystemColor(COLOR_WINDOW, tests::colorOf(WINDOW));
    }
};

} // namespace

TEST_P(MenuHighlightTest, ChoosesThroughTheFallbackChain) {
    tests::useStyle(GetParam().style);
    chooseMenuHighlight();

    EXPECT_THAT(tests::lookups(), ElementsAreArray(GetParam().lookups));
    EXPECT_EQ(stylefile::colorText(systemColors.highlight), GetParam().highlight);
    EXPECT_EQ(stylefile::colorText(systemColors.highlightText), GetParam().highlightText);
}

INSTANTIATE_TEST_SUITE_P(
    Chain, MenuHighlightTest,
    ::testing::Values(
        HighlightCase{"HiliteDiffersFromWindow",
                      {{"menu.hilite:", "flat"},
                       {"menu.hilite.color:", "#ff0000"},
                       {"menu.hilite.textColor:", "#00ff00"}},
                      tests::join({startAtHilite(), colors("hilite", "#ff0000", "#00ff00")}),
                      "#ff0000",
                      "#00ff00"},
        HighlightCase{"HiliteSecondColourDiffers",
                      {{"menu.hilite:", "flat"},
                       {"menu.hilite.color:", WINDOW},
                       {"menu.hilite.textColor:", "#00ff00"},
                       {"menu.hilite.colorTo:", "#ff0000"}},
                      tests::join({startAtHilite(),
                                   colors("hilite", WINDOW, "#00ff00"),
                                   secondIs("hilite", "#ff0000"),
                                   {"ReadColor(menu.hilite.colorTo:, #0a246a) = #ff0000"}}),
                      "#ff0000",
                      "#00ff00"},
        // Highlight started, no second colours: the frame is tried against the window.
        HighlightCase{
            "PlainFrameChosen",
            {{"menu.hilite:", "flat"},
             {"menu.hilite.color:", WINDOW},
             {"menu.title.color:", WINDOW},
             {"menu.frame.color:", "#ff0000"},
             {"menu.frame.textColor:", "#111111"}},
            tests::join({startAtHilite(), colors("hilite", WINDOW, "#ffffff"),
                         secondUndefined("hilite"), colors("title", WINDOW, "#ffffff"),
                         secondUndefined("title"), colors("frame", "#ff0000", "#111111")}),
            "#ff0000",
            "#111111"},
        // The title's second colour equal to the window keeps the plain variant here.
        HighlightCase{"PlainFrameFallsBack",
                      {{"menu.hilite:", "flat"},
                       {"menu.hilite.color:", WINDOW},
                       {"menu.title.color:", WINDOW},
                       {"menu.title.colorTo:", WINDOW},
                       {"menu.frame.color:", WINDOW},
                       {"menu.frame.textColor:", "#111111"}},
                      tests::join({startAtHilite(), colors("hilite", WINDOW, "#ffffff"),
                                   secondUndefined("hilite"), colors("title", WINDOW, "#ffffff"),
                                   secondIs("title", WINDOW), colors("frame", WINDOW, "#111111"),
                                   secondUndefined("frame")}),
                      "#0a246a",
                      "#ffffff"},
        HighlightCase{"WhiteReferenceTakesTheWindowColour",
                      {{"menu.hilite:", "flat"},
                       {"menu.hilite.color:", WINDOW},
                       {"menu.hilite.colorTo:", WINDOW},
                       {"menu.title.color:", WINDOW},
                       {"menu.frame.color:", WINDOW},
                       {"menu.frame.textColor:", "#111111"}},
                      tests::join({startAtHilite(), colors("hilite", WINDOW, "#ffffff"),
                                   secondIs("hilite", WINDOW), colors("title", WINDOW, "#ffffff"),
                                   secondUndefined("title"), colors("frame", WINDOW, "#111111")}),
                      WINDOW,
                      "#111111"},
        HighlightCase{"WhiteReferenceFrameWhiteFallsBack",
                      {{"menu.hilite:", "flat"},
                       {"menu.hilite.color:", WINDOW},
                       {"menu.hilite.colorTo:", WINDOW},
                       {"menu.title.color:", WINDOW},
                       {"menu.frame.color:", "#ffffff"},
                       {"menu.frame.textColor:", "#111111"},
                       {"menu.frame.colorTo:", WINDOW}},
                      tests::join({startAtHilite(), colors("hilite", WINDOW, "#ffffff"),
                                   secondIs("hilite", WINDOW), colors("title", WINDOW, "#ffffff"),
                                   secondUndefined("title"), colors("frame", "#ffffff", "#111111"),
                                   secondIs("frame", WINDOW)}),
                      "#0a246a",
                      "#ffffff"},
        HighlightCase{"BlackFallback",
                      {{"menu.hilite:", "flat"},
                       {"menu.hilite.color:", WINDOW},
                       {"menu.hilite.colorTo:", WINDOW},
                       {"menu.title.color:", WINDOW},
                       {"menu.title.colorTo:", WINDOW},
                       {"menu.frame.color:", WINDOW},
                       {"menu.frame.colorTo:", WINDOW}},
                      tests::join({startAtHilite(), colors("hilite", WINDOW, "#ffffff"),
                                   secondIs("hilite", WINDOW), colors("title", WINDOW, "#ffffff"),
                                   secondIs("title", WINDOW), colors("frame", WINDOW, "#ffffff"),
                                   secondIs("frame", WINDOW)}),
                      "#000000",
                      "#ffffff"},
        HighlightCase{"BlackVariantWithoutFrameSecondColour",
                      {{"menu.hilite:", "flat"},
                       {"menu.hilite.color:", WINDOW},
                       {"menu.hilite.colorTo:", WINDOW},
                       {"menu.title.color:", WINDOW},
                       {"menu.title.colorTo:", WINDOW},
                       {"menu.frame.color:", WINDOW},
                       {"menu.frame.textColor:", "#111111"}},
                      tests::join({startAtHilite(), colors("hilite", WINDOW, "#ffffff"),
                                   secondIs("hilite", WINDOW), colors("title", WINDOW, "#ffffff"),
                                   secondIs("title", WINDOW), colors("frame", WINDOW, "#111111"),
                                   secondUndefined("frame")}),
                      "#0a246a",
                      "#ffffff"},
        // Started at the title: none of the highlight's own keys is read.
        HighlightCase{"TitleStartPlain",
                      {{"menu.hilite.color:", "#ff0000"},
                       {"menu.title.color:", WINDOW},
                       {"menu.frame.color:", WINDOW},
                       {"menu.frame.textColor:", "#111111"}},
                      tests::join({startAtTitle(), colors("title", WINDOW, "#ffffff"),
                                   secondUndefined("title"), colors("frame", WINDOW, "#111111"),
                                   secondUndefined("frame")}),
                      "#0a246a",
                      "#ffffff"},
        HighlightCase{"TitleStartWhiteReference",
                      {{"menu.title.color:", WINDOW},
                       {"menu.title.colorTo:", WINDOW},
                       {"menu.frame.color:", WINDOW},
                       {"menu.frame.textColor:", "#111111"}},
                      tests::join({startAtTitle(), colors("title", WINDOW, "#ffffff"),
                                   secondIs("title", WINDOW), colors("frame", WINDOW, "#111111")}),
                      WINDOW,
                      "#111111"},
        HighlightCase{
            "SecondColourNamingDoesnotexistIsUndefined",
            {{"menu.hilite:", "flat"},
             {"menu.hilite.color:", WINDOW},
             {"menu.hilite.colorTo:", "#ff0000 doesnotexist"},
             {"menu.title.color:", "#00ff00"}},
            tests::join({startAtHilite(),
                         colors("hilite", WINDOW, "#ffffff"),
                         {"ReadString(menu.hilite.colorTo:, doesnotexist) = #ff0000 doesnotexist",
                          "IsInString(#ff0000 doesnotexist, doesnotexist) = 1"},
                         colors("title", "#00ff00", "#ffffff")}),
            "#00ff00",
            "#ffffff"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StyleTest, NoMenuKeysAgainstAWindowOfTheDefaultColourEndsInTheFallbackPair) {
    win32_standin::setSystemColor(COLOR_WINDOW, tests::colorOf("#0a246a"));
    chooseMenuHighlight();

    EXPECT_THAT(
        tests::lookups(),
        ElementsAreArray(tests::join(
            {startAtTitle(), colors("title", "#0a246a", "#ffffff"), secondUndefined("title"),
             colors("frame", "#0a246a", "#ffffff"), secondUndefined("frame")})));
    EXPECT_EQ(systemColors.highlight, 0x006A240Au);
    EXPECT_EQ(systemColors.highlightText, 0x00FFFFFFu);
}

TEST_F(StyleTest, WindowColourIsReadOncePerPass) {
    tests::useStyle({{"menu.title.color:", "#ffffff"}, {"menu.frame.color:", "#ffffff"}});
    chooseMenuHighlight();
    chooseMenuHighlight();

    const auto reads = tests::callsTo("GetSysColor");
    ASSERT_EQ(reads.size(), 2u);
    for (const auto& read : reads) {
        EXPECT_EQ(read.arguments, std::vector<std::uintptr_t>{COLOR_WINDOW});
    }
}
