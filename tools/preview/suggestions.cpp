#include "tools/preview/suggestions.h"

#include "tools/preview/contrast_fix.h"

#include "stylefile/color_text.h"

#include <algorithm>
#include <cstdio>

namespace preview {
namespace {

int positionOf(int index) {
    const auto* at =
        std::find(managedColorIndices, managedColorIndices + MANAGED_COLOR_COUNT, index);
    return at == managedColorIndices + MANAGED_COLOR_COUNT
               ? -1
               : static_cast<int>(at - managedColorIndices);
}

// The key whose lookup gave one of the ten, or "" for the window or the plug-in's own colour.
std::string keyOf(const ColorSources& sources, int index) {
    const int at = index >= 0 ? positionOf(index) : -1;
    return at < 0 || sources.lookup[at] == StyleLookup::FixedColor
               ? ""
               : entryOf(sources.lookup[at]).key;
}

// What every colour key gives must read against: the other side of each pair it is drawn in.
std::vector<ContrastNeed> constraintsOf(const std::string& key, const AppliedColors& colors,
                                        const ColorSources& sources, COLORREF window) {
    std::vector<ContrastNeed> against;
    for (const ContrastPair& pair : contrastPairs) {
        const bool text = keyOf(sources, pair.text) == key;
        const bool background =
            keyOf(sources, pair.background) == key || keyOf(sources, pair.gradient) == key;
        if (text == background) {
            continue; // not drawn in it, or on both sides at once
        }
        for (int other : text ? std::vector<int>{pair.background, pair.gradient}
                              : std::vector<int>{pair.text}) {
            if (other >= 0) {
                against.push_back({colorAt(colors, other, window), pair.minimum});
            }
        }
    }
    return against;
}

std::string ratioText(double ratio) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f:1", ratio);
    return text;
}

} // namespace

std::vector<Fix> suggestFixes(const AppliedColors& colors, const ColorSources& sources,
                              COLORREF window, const stylefile::StyleFile& style) {
    std::vector<Fix> fixes;
    for (int p = 0; p < CONTRAST_PAIR_COUNT; ++p) {
        const ContrastPair& pair = contrastPairs[p];
        const COLORREF text = colorAt(colors, pair.text);
        const COLORREF background = colorAt(colors, pair.background, window);
        const COLORREF end = pair.gradient >= 0 ? colorAt(colors, pair.gradient) : background;
        if (!below(std::min(contrastRatio(text, background), contrastRatio(text, end)),
                   pair.minimum)) {
            continue;
        }
        const std::string key = keyOf(sources, pair.text);
        if (key.empty()) {
            fixes.push_back({p,
                             "no suggestion: this is the plug-in's own colour, as every menu "
                             "colour was the window's; give one of them another",
                             false,
                             {}});
            continue;
        }
        const Suggestion found = suggestColor(text, constraintsOf(key, colors, sources, window));
        if (found.found) {
            const std::optional<stylefile::StyleLine> line = style.lineOf(key);
            const double ratio =
                std::min(contrastRatio(found.color, background), contrastRatio(found.color, end));
            fixes.push_back({p,
                             "suggestion: " + key + " " + stylefile::colorText(found.color) +
                                 "  (" + ratioText(ratio) + ")",
                             true,
                             {key, line ? line->line : 0, stylefile::colorText(found.color)}});
            continue;
        }
        // No colour of the text's key reads on everything: the background's end that fails is
        // changed instead, against the text.
        bool mended = false;
        for (int side : {pair.background, pair.gradient}) {
            const std::string other = keyOf(sources, side);
            const COLORREF color = side >= 0 ? colorAt(colors, side, window) : 0;
            if (other.empty() || other == key || !below(contrastRatio(text, color), pair.minimum)) {
                continue;
            }
            const Suggestion instead =
                suggestColor(color, constraintsOf(other, colors, sources, window));
            if (instead.found) {
                const std::optional<stylefile::StyleLine> line = style.lineOf(other);
                fixes.push_back(
                    {p,
                     "no colour of " + keyName(key.c_str()) +
                         " reads on all it is drawn on; instead: " + other + " " +
                         stylefile::colorText(instead.color) + "  (" +
                         ratioText(contrastRatio(text, instead.color)) + ")",
                     true,
                     {other, line ? line->line : 0, stylefile::colorText(instead.color)}});
                mended = true;
            }
        }
        if (!mended) {
            fixes.push_back({p,
                             "no colour of " + keyName(key.c_str()) +
                                 " reads on all it is drawn on, nor of the keys it is drawn on",
                             false,
                             {}});
        }
    }
    return fixes;
}

} // namespace preview
