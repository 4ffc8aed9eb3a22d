// The preview's table of the plug-in's keys, held against what the plug-in reads.
#include "tools/preview/style_keys.h"

#include "colors/style_reading.h"
#include "colors/system_color_set.h"
#include "standin/host.h"
#include "stylefile/color_text.h"
#include "win32/win32_standin.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <set>

namespace {

std::string lowerCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// "key colour" or "key text", for each way a key is read.
std::set<std::string> readingsInTable() {
    std::set<std::string> readings;
    for (const preview::StyleKey& key : preview::pluginStyleKeys()) {
        if (key.text) {
            readings.insert(lowerCase(key.key) + " text");
        }
        if (key.color) {
            readings.insert(lowerCase(key.key) + " colour");
        }
    }
    return readings;
}

const char* const TEXTURE_KEYS[] = {
    "window.label.focus:",   "window.title.focus:", "window.label.unfocus:",
    "window.title.unfocus:", "menu.hilite:",        "menu.title:"};
const char* const TEXTURES[] = {"ParentRelative", "Flat Solid", "Raised Gradient Vertical"};

// Each colour key's own colour in the spread, found nowhere else.
COLORREF ownColor(std::size_t key) {
    return RGB(1 + key, 0x41, 0x81);
}

// Styles spread over what steers the plug-in: textures, colours equal to the window's, keys
// absent, and values that are no colour. Every pass must read only keys in the table, all of
// them over the spread, and each colour it applies must come from a key the table says can
// give it.
TEST(PluginStyleKeys, AreTheKeysThePluginReadsAndTheColoursTheyGive) {
    const auto& keys = preview::pluginStyleKeys();
    std::mt19937 random(20261208);
    std::set<std::string> seen;
    for (int pass = 0; pass < 3000; ++pass) {
        win32_standin::reset();
        const COLORREF window = pass % 3 == 2 ? RGB(0x0a, 0x24, 0x6a) : RGB(255, 255, 255);
        win32_standin::setSystemColor(COLOR_WINDOW, window);
        std::string text;
        for (const char* key : TEXTURE_KEYS) {
            const std::size_t pick = random() % 4;
            if (pick < 3) {
                text += std::string(key) + " " + TEXTURES[pick] + "\n";
            }
        }
        std::map<COLORREF, std::size_t> owners;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (!keys[k].color) {
                continue;
            }
            switch (random() % 4) {
            case 0:
                break;
            case 1:
                text += std::string(keys[k].key) + " " + stylefile::colorText(window) + "\n";
                break;
            case 2:
                text += std::string(keys[k].key) + " " + stylefile::colorText(ownColor(k)) + "\n";
                owners[ownColor(k)] = k;
                break;
            default:
                text += std::string(keys[k].key) + " red\n";
            }
        }
        standin::setStyle("/spread.style", text);
        standin::recordLookups(true);
        readStyleColors();
        applySystemColors();
        const std::vector<standin::Lookup> lookups = standin::takeLookups();
        standin::recordLookups(false);
        for (const standin::Lookup& lookup : lookups) {
            seen.insert(lowerCase(lookup.key) + (lookup.color ? " colour" : " text"));
        }
        const preview::AppliedColors colors = preview::readAppliedColors();
        const auto fromDefaults = preview::colorsFromDefaults(colors, lookups);
        for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
            const auto owner = owners.find(colors[i].value);
            if (owner != owners.end()) {
                EXPECT_NE(keys[owner->second].colorsFed & (1u << i), 0u)
                    << keys[owner->second].key << " gave " << colors[i].name << "\n"
                    << text;
                EXPECT_FALSE(fromDefaults[i]) << colors[i].name << "\n" << text;
            } else if (colors[i].value != window) {
                EXPECT_TRUE(fromDefaults[i]) << colors[i].name << "\n" << text;
            }
        }
        if (HasFailure()) {
            return;
        }
    }
    EXPECT_EQ(seen, readingsInTable());
}

TEST(PluginStyleKeys, NearestKeyIsOneOrTwoEditsAway) {
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
        const preview::StyleKey* nearest = preview::nearestStyleKey(c.written);
        EXPECT_STREQ(nearest != nullptr ? nearest->key : nullptr, c.suggested) << c.written;
    }
}

} // namespace
