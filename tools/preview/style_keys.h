// What the preview makes of a style's keys, from the plug-in's own table of lookups: whether the
// plug-in reads a key, the key a misspelt one was meant to be (style_keys.cpp), and where each
// applied colour came from, by the record of a pass (color_sources.cpp).
#pragma once

#include "colors/style_lookups.h"
#include "colors/system_color_set.h"
#include "standin/call_record.h"
#include "stylefile/style_file.h"

#include <windows.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace preview {

// A key of a style held against the keys the plug-in reads, without regard to case.
struct KeyMatch {
    bool read = false;             // the plug-in reads it in some style
    const char* nearest = nullptr; // else its key one or two edits away, or null
};

// Edits are counted in characters (a letter added, dropped, changed or two swapped), so an
// invisible character in a key is one edit however many bytes it takes; a key of the same words
// ("menu.highlight.colour:", "window*title*focus*color:") is meant too, however far.
KeyMatch matchPluginKey(std::string_view key);

// Whether a recorded call is a lookup (ReadString or ReadColor): its texts are the path, the key
// and the default.
bool isLookup(const standin::Call& call);

// The call of a pass that made the table's lookup, the first of them; null when none did.
const standin::Call* lookupIn(const std::vector<standin::Call>& pass, StyleLookup lookup);

// The lookups of each key the plug-in reads, in the order of the table; a presence test is none
// of them, as its default is no value the key could have.
using KeyLookups = std::vector<const StyleLookupEntry*>;
const std::vector<KeyLookups>& lookupsByKey();

// The plug-in's test for fragment of the text the table's lookup gave in a pass, which follows
// the lookup before the next one; null when it made none.
const standin::Call* testIn(const std::vector<standin::Call>& pass, StyleLookup lookup,
                            std::string_view fragment);

// The keys the plug-in reads, each once, as a Markdown table: the key, read as text or colour,
// its default (one for each colour it can fill), the system colours it can feed.
std::string keyTable();

// A plug-in key as a user reads it: without its colon.
std::string keyName(const char* key);

// Where each of the ten applied colours, in the plug-in's order, came from.
struct ColorSources {
    std::array<StyleLookup, MANAGED_COLOR_COUNT> lookup{}; // FixedColor: the plug-in's own
    std::array<int, MANAGED_COLOR_COUNT> line{}; // the style line each colour came from, 0 for none
    // In words: "menu.title.color, line 18", "default of menu.frame.color", ...
    std::array<std::string, MANAGED_COLOR_COUNT> words;
    // Why the highlight passed over the menu elements it did, in one line; "" for none.
    std::string highlightPassedOver;
};

// From the plug-in's note of the lookup behind each colour and the host's answers to the lookups
// of its pass; window is the window colour the highlight was held against. A colour the default
// gave in place of a value that is none has the line of that value.
ColorSources colorSourcesOf(const std::vector<standin::Call>& pass, COLORREF window);

} // namespace preview
