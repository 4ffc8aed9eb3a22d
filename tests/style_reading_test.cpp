// A reading pass: the host calls it makes, in order, and what it does with odd answers.
#include "colors/style_access.h"
#include "colors/style_reading.h"
#include "tests/style_fixture.h"

#include <gmock/gmock.h>

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using StyleReadingTest = StyleTest;

namespace {

const std::vector<std::string> focusFromDefaultTitle = {
    "ReadString(window.label.focus:, parentrelative) = parentrelative",
    "IsInString(parentrelative, parentrelative) = 1",
    "ReadString(window.title.focus:, flat gradient vertical) = flat gradient vertical",
    "IsInString(flat gradient vertical, solid) = 0",
    "ReadColor(window.title.focus.color:, #0a246a) = #0a246a",
    "ReadColor(window.title.focus.colorTo:, #a6caf0) = #a6caf0",
    "ReadColor(window.label.focus.textColor:, #ffffff) = #ffffff",
};

const std::vector<std::string> unfocusFromDefaultTitle = {
    "ReadString(window.label.unfocus:, parentrelative) = parentrelative",
    "IsInString(parentrelative, parentrelative) = 1",
    "ReadString(window.title.unfocus:, flat gradient vertical) = flat gradient vertical",
    "IsInString(flat gradient vertical, solid) = 0",
    "ReadColor(window.title.unfocus.color:, #0a246a) = #0a246a",
    "ReadColor(window.title.unfocus.colorTo:, #a6caf0) = #a6caf0",
    "ReadColor(window.label.unfocus.textColor:, #d4d0c8) = #d4d0c8",
};

const std::vector<std::string> menuDefaults = {
    "ReadString(menu.hilite:, parentrelative) = parentrelative",
    "IsInString(parentrelative, parentrelative) = 1",
    "ReadColor(menu.title.color:, #0a246a) = #0a246a",
    "ReadColor(menu.title.textColor:, #ffffff) = #ffffff",
};

const std::vector<std::string> tooltipFromFrame = {
    "ReadString(menu.title:, parentrelative) = parentrelative",
    "IsInString(parentrelative, parentrelative) = 1",
    "ReadColor(menu.frame.color:, #ffffe1) = #ffffe1",
    "ReadColor(menu.frame.textColor:, #000000) = #000000",
};

std::vector<std::string> firstLookups(std::size_t count) {
    std::vector<std::string> all = tests::lookups();
    all.resize(std::min(count, all.size()));
    return all;
}

} // namespace

TEST_F(StyleReadingTest, StyleWithoutKeysReadsEveryDefaultInOrder) {
    readStyleColors();

    ASSERT_FALSE(standin::calls().empty());
    EXPECT_EQ(standin::calls().front().function, "stylePath");
    EXPECT_EQ(standin::calls().front().arguments, std::vector<std::uintptr_t>{0});
    EXPECT_THAT(tests::lookups(),
                ElementsAreArray(tests::join({focusFromDefaultTitle, unfocusFromDefaultTitle,
                                              menuDefaults, tooltipFromFrame})));
}

struct CaptionCase {
    const char* name;
    tests::Style style;
    std::vector<std::string> focusLookups;
};

void PrintTo(const CaptionCase& c, std::ostream* os) {
    *os << c.name;
}

class FocusedCaptionTest : public StyleTest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(FocusedCaptionTest, LooksUpExactlyTheKeysOfItsSource) {
    tests::useStyle(GetParam().style);
    readStyleColors();

    const auto& expected = GetParam().focusLookups;
    EXPECT_THAT(firstLookups(expected.size()), ElementsAreArray(expected));
    // The focused caption ends where the unfocused one begins: no stray lookups between.
    EXPECT_EQ(tests::lookups().at(expected.size()),
              "ReadString(window.label.unfocus:, parentrelative) = parentrelative");
}

INSTANTIATE_TEST_SUITE_P(
    Textures, FocusedCaptionTest,
    ::testing::Values(
        CaptionCase{"SolidLabel",
                    {{"window.label.focus:", "raised solid"},
                     {"window.label.focus.color:", "#102030"},
                     {"window.label.focus.colorTo:", "#405060"},
                     {"window.label.focus.textColor:", "#708090"}},
                    {"ReadString(window.label.focus:, parentrelative) = raised solid",
                     "IsInString(raised solid, parentrelative) = 0",
                     "IsInString(raised solid, solid) = 1",
                     "ReadColor(window.label.focus.color:, #0a246a) = #102030",
                     "ReadColor(window.label.focus.textColor:, #ffffff) = #708090"}},
        CaptionCase{"GradientLabel",
                    {{"window.label.focus:", "raised gradient diagonal"}},
                    {"ReadString(window.label.focus:, parentrelative) = raised gradient diagonal",
                     "IsInString(raised gradient diagonal, parentrelative) = 0",
                     "IsInString(raised gradient diagonal, solid) = 0",
                     "ReadColor(window.label.focus.color:, #0a246a) = #0a246a",
                     "ReadColor(window.label.focus.colorTo:, #a6caf0) = #a6caf0",
                     "ReadColor(window.label.focus.textColor:, #ffffff) = #ffffff"}},
        CaptionCase{"ParentRelativeLabelSolidTitle",
                    {{"window.label.focus:", "parentrelative"},
                     {"window.title.focus:", "flat solid"},
                     {"window.title.focus.color:", "#aabbcc"},
                     {"window.title.focus.textColor:", "#000000"}},
                    {"ReadString(window.label.focus:, parentrelative) = parentrelative",
                     "IsInString(parentrelative, parentrelative) = 1",
                     "ReadString(window.title.focus:, flat gradient vertical) = flat solid",
                     "IsInString(flat solid, solid) = 1",
                     "ReadColor(window.title.focus.color:, #0a246a) = #aabbcc",
                     "ReadColor(window.label.focus.textColor:, #ffffff) = #ffffff"}},
        CaptionCase{"ParentRelativeLabelGradientTitle",
                    {{"window.title.focus:", "raised gradient crossdiagonal"},
                     {"window.title.focus.color:", "#111111"},
                     {"window.title.focus.colorTo:", "#222222"},
                     {"window.label.focus.textColor:", "#333333"}},
                    {"ReadString(window.label.focus:, parentrelative) = parentrelative",
                     "IsInString(parentrelative, parentrelative) = 1",
                     "ReadString(window.title.focus:, flat gradient vertical) = raised gradient "
                     "crossdiagonal",
                     "IsInString(raised gradient crossdiagonal, solid) = 0",
                     "ReadColor(window.title.focus.color:, #0a246a) = #111111",
                     "ReadColor(window.title.focus.colorTo:, #a6caf0) = #222222",
                     "ReadColor(window.label.focus.textColor:, #ffffff) = #333333"}},
        CaptionCase{"BothFragmentsInTheLabel",
                    {{"window.label.focus:", "solid parentrelative"}},
                    {"ReadString(window.label.focus:, parentrelative) = solid parentrelative",
                     "IsInString(solid parentrelative, parentrelative) = 1",
                     "ReadString(window.title.focus:, flat gradient vertical) = flat gradient "
                     "vertical",
                     "IsInString(flat gradient vertical, solid) = 0",
                     "ReadColor(window.title.focus.color:, #0a246a) = #0a246a",
                     "ReadColor(window.title.focus.colorTo:, #a6caf0) = #a6caf0",
                     "ReadColor(window.label.focus.textColor:, #ffffff) = #ffffff"}},
        CaptionCase{"SolidInsideALongerWord",
                    {{"window.label.focus:", "flat consolidated"}},
                    {"ReadString(window.label.focus:, parentrelative) = flat consolidated",
                     "IsInString(flat consolidated, parentrelative) = 0",
                     "IsInString(flat consolidated, solid) = 1",
                     "ReadColor(window.label.focus.color:, #0a246a) = #0a246a",
                     "ReadColor(window.label.focus.textColor:, #ffffff) = #ffffff"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StyleReadingTest, UnfocusedLabelKeepsItsOwnGreyDefaults) {
    tests::useStyle({{"window.label.unfocus:", "flat gradient"}});
    readStyleColors();

    EXPECT_EQ(systemColors.inactiveCaption, tests::colorOf("#808080"));
    EXPECT_EQ(systemColors.gradientInactiveCaption, tests::colorOf("#c0c0c0"));
    EXPECT_EQ(systemColors.inactiveCaptionText, tests::colorOf("#d4d0c8"));
}

TEST_F(StyleReadingTest, SolidCaptionFillsBothFieldsWithOneColour) {
    tests::useStyle({{"window.label.unfocus:", "sunken solid"},
                     {"window.label.unfocus.color:", "#abcdef"},
                     {"window.label.unfocus.colorTo:", "#fedcba"}});
    readStyleColors();

    EXPECT_EQ(systemColors.inactiveCaption, tests::colorOf("#abcdef"));
    EXPECT_EQ(systemColors.gradientInactiveCaption, tests::colorOf("#abcdef"));
}

TEST_F(StyleReadingTest, TooltipComesFromTheMenuTitleWhenItIsNotParentRelative) {
    tests::useStyle({{"menu.title:", "flat gradient"},
                     {"menu.title.color:", "#202020"},
                     {"menu.title.textColor:", "#e0e0e0"},
                     {"menu.frame.color:", "#ff0000"}});
    readStyleColors();

    const auto all = tests::lookups();
    EXPECT_THAT(std::vector<std::string>(all.end() - 4, all.end()),
                ElementsAre("ReadString(menu.title:, parentrelative) = flat gradient",
                            "IsInString(flat gradient, parentrelative) = 0",
                            "ReadColor(menu.title.color:, #ffffe1) = #202020",
                            "ReadColor(menu.title.textColor:, #000000) = #e0e0e0"));
    EXPECT_EQ(systemColors.infoBackground, tests::colorOf("#202020"));
    EXPECT_EQ(systemColors.infoText, tests::colorOf("#e0e0e0"));
}

TEST_F(StyleReadingTest, LookupsUseThePluginsCopiesNeverTheHostsPointers) {
    readStyleColors();

    for (const auto& call : standin::calls()) {
        if (call.function == "ReadString" || call.function == "ReadColor") {
            EXPECT_EQ(call.arguments[0], reinterpret_cast<std::uintptr_t>(stylePathBuffer))
                << tests::describe(call);
            EXPECT_EQ(call.texts[0], tests::STYLE_PATH);
        }
        if (call.function == "IsInString") {
            EXPECT_EQ(call.arguments[0], reinterpret_cast<std::uintptr_t>(styleTextBuffer))
                << tests::describe(call);
        }
    }
}

TEST_F(StyleReadingTest, NullAnswersCountAsAbsent) {
    standin::Answers answers;
    answers.nullPath = answers.nullTexts = true;
    standin::answerWith(answers);
    readStyleColors();

    std::vector<std::string> paths;
    std::vector<std::string> texts;
    for (const auto& call : standin::calls()) {
        if (call.function == "ReadColor") {
            paths.push_back(call.texts[0]);
        }
        if (call.function == "IsInString") {
            texts.push_back(call.texts[0]);
        }
    }
    EXPECT_THAT(paths, Each(""));
    // Each texture test sees the default text of the lookup before it.
    EXPECT_THAT(texts, ElementsAre("parentrelative", "flat gradient vertical", "parentrelative",
                                   "flat gradient vertical", "parentrelative", "parentrelative"));
    EXPECT_EQ(systemColors.activeCaption, tests::colorOf("#0a246a"));
    EXPECT_EQ(systemColors.infoBackground, tests::colorOf("#ffffe1"));
}

struct PathCase {
    std::size_t length;
    bool passedOn;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.length << " bytes";
}

class StylePathLengthTest : public StyleTest, public ::testing::WithParamInterface<PathCase> {};

// A path that does not fit the 260-byte buffer would name another file if cut, so it is
// replaced by the empty path; one that fits is passed on whole.
TEST_P(StylePathLengthTest, PathIsPassedWholeOrNotAtAll) {
    const std::string path = "/" + std::string(GetParam().length - 1, 'p');
    tests::useStyle({}, path);
    readStyleColors();

    EXPECT_EQ(tests::callsTo("ReadString").at(0).texts[0], GetParam().passedOn ? path : "");
    EXPECT_EQ(stylePathBuffer[STYLE_PATH_BUFFER_SIZE - 1], '\0');
}

INSTANTIATE_TEST_SUITE_P(AroundTheBufferSize, StylePathLengthTest,
                         ::testing::Values(PathCase{258, true}, PathCase{259, true},
                                           PathCase{260, false}, PathCase{4000, false}),
                         [](const auto& info) { return std::to_string(info.param.length); });

struct TextCase {
    std::size_t length;
    bool solidSeen;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.length << " bytes";
}

class StyleTextLengthTest : public StyleTest, public ::testing::WithParamInterface<TextCase> {};

// A texture too long for the 4096-byte buffer is shortened to its first 4095 characters, so a
// "solid" at its very end is cut and the label reads as a gradient.
TEST_P(StyleTextLengthTest, TextureIsShortenedToTheBuffer) {
    const std::string texture = std::string(GetParam().length - 5, 'x') + "solid";
    tests::useStyle({{"window.label.focus:", texture}});
    readStyleColors();

    const auto solidTest = tests::callsTo("IsInString").at(1);
    ASSERT_EQ(solidTest.texts[1], "solid");
    EXPECT_EQ(solidTest.texts[0], texture.substr(0, STYLE_TEXT_BUFFER_SIZE - 1));
    EXPECT_EQ(solidTest.result != 0, GetParam().solidSeen);
}

INSTANTIATE_TEST_SUITE_P(AroundTheBufferSize, StyleTextLengthTest,
                         ::testing::Values(TextCase{4094, true}, TextCase{4095, true},
                                           TextCase{4096, false}, TextCase{10000, false}),
                         [](const auto& info) { return std::to_string(info.param.length); });
