// The style keys the plug-in can read, in any style, and what each can give: the preview's
// knowledge of them, checked against the plug-in itself by the tests.
#pragma once

#include "standin/host.h"
#include "tools/preview/applied_colors.h"

#include <array>
#include <string>
#include <vector>

namespace preview {

struct StyleKey {
    const char* key;    // as the plug-in spells it, with its colon
    bool text;          // looked up as text (a texture, or whether the key is there)
    bool color;         // looked up as a colour
    unsigned colorsFed; // bit i: the key can give the i-th of the ten applied colours
};

const std::vector<StyleKey>& pluginStyleKeys();

// The plug-in's key for key, matched without regard to case; null when it reads no such key.
const StyleKey* findStyleKey(const std::string& key);

// The plug-in's key one or two edits (a letter added, dropped, changed or two swapped) from an
// unknown key, or null.
const StyleKey* nearestStyleKey(const std::string& key);

// Which of the ten applied colours came from a default or a fixed fallback rather than from the
// style: the last colour lookup of a pass that can give a colour and gave its value decides.
std::array<bool, MANAGED_COLOR_COUNT> colorsFromDefaults(const AppliedColors& colors,
                                                         const std::vector<standin::Lookup>& pass);

} // namespace preview
