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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(preview::printable(c.text), c.shown);
    }
}

} // namespace
