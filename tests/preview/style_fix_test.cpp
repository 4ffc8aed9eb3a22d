// A mended style keeps every byte the author wrote but the values it replaces, and reads back
// with the new values where the style reader finds them.
#include "tools/preview/style_fix.h"

#include "stylefile/style_file.h"

#include <gtest/gtest.h>

namespace {

TEST(StyleFix, PutsEachValueInItsLineAndAddsWhatTheStyleLacks) {
    const struct {
        const char* what;
        std::string text;
        std::vector<preview::StyleChange> changes;
        std::string mended;
    } cases[] = {
        {"values in place, spaces and comments kept",
         "! dusk\nmenu.title.color:   #123456  \nmenu.title.textColor: #fff\n",
         {{"menu.title.color:", 2, "#2b3a29"}},
         "! dusk\nmenu.title.color:   #2b3a29  \nmenu.title.textColor: #fff\n"},
        {"only the line that wins",
         "menu.title.color: #111111\nMENU.TITLE.COLOR: #222222\n",
         {{"menu.title.color:", 2, "#333333"}},
         "menu.title.color: #111111\nMENU.TITLE.COLOR: #333333\n"},
        {"a bad value replaced whole",
         "menu.frame.color: #ffffe1 ! the old one\n",
         {{"menu.frame.color:", 1, "#fafad2"}},
         "menu.frame.color: #fafad2\n"},
        {"CRLF, a byte-order mark, and a key added with the file's ending",
         "\xEF\xBB\xBFmenu.title: flat\r\nmenu.title.color: #123456\r\n",
         {{"menu.title.textColor:", 0, "#ffffff"}, {"menu.title.color:", 2, "#000000"}},
         "\xEF\xBB\xBFmenu.title: flat\r\nmenu.title.color: #000000\r\nmenu.title.textColor: "
         "#ffffff\r\n"},
        {"lone CRs, and no ending after the last line",
         "a: 1\rmenu.hilite.color: #fff",
         {{"menu.hilite.color:", 2, "#0a246a"}, {"menu.hilite.textColor:", 0, "#ffffff"}},
         "a: 1\rmenu.hilite.color: #0a246a\rmenu.hilite.textColor: #ffffff\r"},
        {"an empty style",
         "",
         {{"menu.frame.color:", 0, "#101010"}},
         "menu.frame.color: #101010\n"},
    };
    for (const auto& c : cases) {
        const std::string mended = preview::mendedStyle(c.text, c.changes);
        EXPECT_EQ(mended, c.mended) << c.what;
        const stylefile::StyleFile style = stylefile::StyleFile::parse(mended);
        for (const preview::StyleChange& change : c.changes) {
            EXPECT_EQ(style.find(change.key), std::optional<std::string_view>(change.value))
                << c.what << ": " << change.key;
        }
    }
}

} // namespace
