#include "tools/preview/terminal_text.h"

#include <gtest/gtest.h>

namespace {

TEST(Printable, EscapesControlBytesAndInvalidUtf8Only) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"styles/harbour-dusk.style", "styles/harbour-dusk.style"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xa8.style",
         "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xa8.style"},
        {"a\x1b[31mred", "a\\x1b[31mred"},
        {"two\nlines\r", "two\\x0alines\\x0d"},
        {"tab\there\x7f", "tab\\x09here\\x7f"},
        {"bad\xff\xfe", "bad\\xff\\xfe"},
        {"cut \xc3", "cut \\xc3"},           // a sequence cut short
        {"\xc0\xaf", "\\xc0\\xaf"},          // an overlong slash
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"}, // a surrogate
        {"\xc2\x9b"
         "2J",
         "\\xc2\\x9b2J"}, // C1 control: a terminal's CSI
        // Bidirectional controls, which make a line read otherwise than it is, and characters
        // that cannot be seen.
        {"txt.\xe2\x80\xae"
         "elyts",
         "txt.\\xe2\\x80\\xaeelyts"}, // U+202E
        {"a\xe2\x81\xa6"
         "b\xe2\x81\xa9",
         "a\\xe2\\x81\\xa6b\\xe2\\x81\\xa9"},                           // U+2066, U+2069
        {"\xe2\x80\xaa\xe2\x80\xac", "\\xe2\\x80\\xaa\\xe2\\x80\\xac"}, // U+202A, U+202C
        {"zero\xe2\x80\x8bwidth\xef\xbb\xbf", "zero\\xe2\\x80\\x8bwidth\\xef\\xbb\\xbf"},
        {"\xe2\x80\xa9", "\xe2\x80\xa9"}, // a paragraph separator is seen
    };
    for (const auto& c : cases) {
        EXPECT_EQ(preview::printable(c.text), c.shown);
    }
}

TEST(QuotedText, CutsALongTextAndSaysHowLongItWas) {
    EXPECT_EQ(preview::quotedText("red"), "\"red\"");
    EXPECT_EQ(preview::quotedText(std::string(64, 'x')), "\"" + std::string(64, 'x') + "\"");
    EXPECT_EQ(preview::quotedText(std::string(65, 'x')),
              "\"" + std::string(64, 'x') + "...\" (65 characters)");
    // Counted and cut in characters: a sequence is never split.
    std::string euros;
    for (int i = 0; i < 70; ++i) {
        euros += "\xe2\x82\xac";
    }
    EXPECT_EQ(preview::quotedText(euros), "\"" + euros.substr(0, 64 * 3) + "...\" (70 characters)");
}

} // namespace
