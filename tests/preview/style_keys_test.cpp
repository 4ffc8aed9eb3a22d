// The keys the preview suggests for a misspelt one, from the plug-in's own table.
#include "tools/preview/style_keys.h"

#include <gtest/gtest.h>

namespace {

TEST(PluginKeys, NearestKeyIsOneOrTwoEditsOrTheSameWordsAway) {
    const struct {
        const char* written;
        const char* suggested; // null: none
    } cases[] = {
        {"menu.hilite.colour:", "menu.hilite.color:"},
        {"MENU.HILITE.COLOUR:", "menu.hilite.color:"},
        {"window.lable.focus:", "window.label.focus:"}, // two letters swapped
        {"menu.title.textColour:", "menu.title.textColor:"},
        {"menu.titl.colr:", "menu.title.color:"},
        {"menu.hilite.color:", nullptr}, // the key itself, in any case
        {"Menu.Title:", nullptr},
        {"menu.frame:", nullptr}, // keys the plug-in leaves to the host
        {"toolbar.color:", nullptr},
        {"window.title.focus.textColor:", nullptr},
        {"menu.t.color:", nullptr},                                // three edits
        {"xindow.title.focus.colo:", "window.title.focus.color:"}, // one at either end
        // An invisible character is one edit, however many bytes it takes.
        {"menu.hilite.\xe2\x80\x8b"
         "color:",
         "menu.hilite.color:"},
        {"\xef\xbb\xbfmenu.title.\xe2\x80\x8d"
         "color:",
         "menu.title.color:"},
        {"\xef\xbb\xbf\xef\xbb\xbf\xef\xbb\xbfmenu.title:", nullptr},
        // The same words, spelt or joined otherwise: more than two edits, yet plainly meant.
        {"menu.highlight.color:", "menu.hilite.color:"},
        {"menu.hilight.textColor:", "menu.hilite.textColor:"},
        {"Menu_Highlight_TextColour:", "menu.hilite.textColor:"},
        {"window*title*focus*color:", "window.title.focus.color:"},
        {"window.label.unfocus.text.colour:", "window.label.unfocus.textColor:"},
        {"menu.highlight.border:", nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(preview::matchPluginKey(c.written).nearest, c.suggested) << c.written;
    }
}

} // namespace
