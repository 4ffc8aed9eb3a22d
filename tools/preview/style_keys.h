// What the preview makes of a style's keys, from the plug-in's own table of lookups: whether the
// plug-in reads a key, the key a misspelt one was meant to be, and where each applied colour came
// from.
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

// A ReadString or ReadColor of a pass, as the host answered it.
struct Lookup {
    std::string_view path;
    std::string_view key;
    std::string_view defaultText;
    bool color;            // ReadColor, else ReadString
    bool found;            // the style named by path has the key
    bool usable;           // found, and for a colour the value is one
    COLORREF result;       // what ReadColor returned
    std::string_view text; // what ReadString returned
};

// The lookups among the calls of a pass, which must outlive them.
std::vector<Lookup> lookupsOf(const std::vector<standin::Call>& pass);

// The keys the plug-in reads, each once, as a Markdown table: the key, read as text or colour,
// its default (one for each colour it can fill), the system colours it can feed.
std::string keyTable();

// A plug-in key as a user reads it: without its colon.
std::string keyName(const char* key);

// Where each of the ten applied colours, in the plug-in's order, came from.
struct ColorSources {
    std::array<StyleLookup, MANAGED_COLOR_COUNT> lookup{}; // FixedColor: the plug-in's own
    std::array<bool, MANAGED_COLOR_COUNT> fromStyle{};     // the style gave it, not a default
    // In words: "menu.title.color, line 18", "default of menu.frame.color", ...
    std::array<std::string, MANAGED_COLOR_COUNT> words;
    std::array<int, MANAGED_COLOR_COUNT> line{}; // the style line each colour came from, 0 for none
    // Why the highlight passed over the menu elements it did, in one line; "" for none.
    std::string highlightPassedOver;
};

// From the plug-in's note of the lookup behind each colour and the lookups of its pass (pass);
// window is the window colour the highlight was held against.
ColorSources colorSourcesOf(const std::vector<Lookup>& pass, const stylefile::StyleFile& style,
                            COLORREF window);

} // namespace preview
