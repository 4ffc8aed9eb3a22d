// What the preview makes of a style's keys, from the plug-in's own table of lookups: whether the
// plug-in reads a key, the key a misspelt one was meant to be, and which of the applied colours
// the style did not give.
#pragma once

#include "colors/system_color_set.h"
#include "standin/host.h"

#include <array>
#include <string>
#include <vector>

namespace preview {

// Whether the plug-in reads key in some style, matched without regard to case.
bool pluginReadsKey(const std::string& key);

// The plug-in's key one or two edits (a letter added, dropped, changed or two swapped) from a key
// it does not read, or null.
const char* nearestPluginKey(const std::string& key);

// Which of the ten applied colours, in the plug-in's order, the style did not give: the lookup
// the plug-in last filled the colour from found no usable value in the style (pass holds the
// host's record of the lookups), or the colour is the plug-in's fixed fallback.
std::array<bool, MANAGED_COLOR_COUNT> colorsFromDefaults(const std::vector<standin::Lookup>& pass);

} // namespace preview
