// What the preview makes of a style's keys, from the plug-in's own table of lookups: whether the
// plug-in reads a key, the key a misspelt one was meant to be, and which of the applied colours
// the style did not give.
#pragma once

#include "colors/system_color_set.h"
#include "standin/call_record.h"

#include <windows.h>

#include <array>
#include <string_view>
#include <vector>

namespace preview {

// A key of a style held against the keys the plug-in reads, without regard to case.
struct KeyMatch {
    bool read = false;             // the plug-in reads it in some style
    const char* nearest = nullptr; // else its key one or two edits away, or null
};

// Edits are counted in characters (a letter added, dropped, changed or two swapped), so an
// invisible character in a key is one edit however many bytes it takes.
KeyMatch matchPluginKey(std::string_view key);

// A ReadString or ReadColor of a pass, as the host answered it.
struct Lookup {
    std::string_view path;
    std::string_view key;
    std::string_view defaultText;
    bool color;      // ReadColor, else ReadString
    bool found;      // the style named by path has the key
    bool usable;     // found, and for a colour the value is one
    COLORREF result; // what ReadColor returned
};

// The lookups among the calls of a pass, which must outlive them.
std::vector<Lookup> lookupsOf(const std::vector<standin::Call>& pass);

// Which of the ten applied colours, in the plug-in's order, the style did not give: the lookup
// the plug-in last filled the colour from found no usable value in the style, or the colour is
// the plug-in's fixed fallback.
std::array<bool, MANAGED_COLOR_COUNT> colorsFromDefaults(const std::vector<Lookup>& pass);

} // namespace preview
