// The keys the preview suggests for a misspelt one, from the plug-in's own table.
#include "tools/preview/style_keys.h"

#include <gtest/gtest.h>

namespace {

TEST(PluginKeys, NearestKeyIsOneOrTwoEditsAway) {
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
        {"menu.t.color:", nullptr}, // three edits
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(preview::nearestPluginKey(c.written), c.suggested) << c.written;
    }
}

} // namespace
