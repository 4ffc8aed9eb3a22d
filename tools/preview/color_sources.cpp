// Where each applied colour came from, and the lookups of a pass, from the record of its calls.
#include "tools/preview/style_keys.h"

#include "colors/menu_highlight.h"
#include "colors/style_access.h"

#include <algorithm>

namespace preview {

bool isLookup(const standin::Call& call) {
    return call.function == "ReadColor" || call.function == "ReadString";
}

const standin::Call* lookupIn(const std::vector<standin::Call>& pass, StyleLookup lookup) {
    const StyleLookupEntry& entry = entryOf(lookup);
    const auto made = std::find_if(pass.begin(), pass.end(), [&](const standin::Call& call) {
        return call.function == (entry.kind == LookupKind::Color ? "ReadColor" : "ReadString") &&
               call.texts[1] == entry.key && call.texts[2] == entry.defaultValue;
    });
    return made != pass.end() ? &*made : nullptr;
}

const standin::Call* testIn(const std::vector<standin::Call>& pass, StyleLookup lookup,
                            std::string_view fragment) {
    const standin::Call* made = lookupIn(pass, lookup);
    const standin::Call* end = pass.data() + pass.size();
    for (const standin::Call* call = made ? made + 1 : end; call != end && !isLookup(*call);
         ++call) {
        if (call->function == "IsInString" && call->texts[1] == fragment) {
            return call;
        }
    }
    return nullptr;
}

ColorSources colorSourcesOf(const std::vector<standin::Call>& pass, COLORREF window) {
    ColorSources sources;
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        sources.lookup[i] = colorSources[i];
        if (colorSources[i] == StyleLookup::FixedColor) {
            sources.words[i] = "the plug-in's own, as no menu colour would show";
            continue;
        }
        const std::string key = keyName(entryOf(colorSources[i]).key);
        const standin::Call* made = lookupIn(pass, colorSources[i]);
        sources.line[i] = made != nullptr ? made->line : 0;
        const std::string where = ", line " + std::to_string(sources.line[i]);
        // A line is of a lookup made: its value, or one that is no colour.
        sources.words[i] = sources.line[i] == 0 ? "default of " + key
                           : made->from == standin::Call::From::Line
                               ? key + where
                               : "default of " + key + " (not a colour" + where + ")";
    }
    // Why the highlight passed over the menu elements it tried before its own.
    const StyleLookup chosen = colorSources[static_cast<int>(ManagedColor::highlight)];
    std::string& why = sources.highlightPassedOver;
    for (const MenuElement& element : menuElements) {
        const standin::Call* color = lookupIn(pass, element.color);
        if (color == nullptr) {
            continue; // not tried: the choice started further on
        }
        if (chosen == element.color || chosen == element.colorTo) {
            break;
        }
        why += (why.empty() ? "" : "; ") + keyName(entryOf(element.color).key) +
               (color->result == window ? " is the window colour" : " is white");
        const standin::Call* defined = testIn(pass, element.colorToDefined, ABSENT_TEXT);
        const bool hasSecond = defined != nullptr && defined->result == 0;
        why += hasSecond ? ", and its second colour too" : ", and it has no second colour";
    }
    if (chosen == StyleLookup::FixedColor) {
        why += "; so the plug-in's own highlight applies";
    }
    return sources;
}

} // namespace preview
