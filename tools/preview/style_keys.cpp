#include "tools/preview/style_keys.h"

#include "stylefile/style_file.h"

#include <algorithm>

namespace preview {
namespace {

// Bits of the ten applied colours, in the order the plug-in hands them over.
constexpr unsigned ACTIVE = 1u << 0, ACTIVE_GRADIENT = 1u << 1, ACTIVE_TEXT = 1u << 2,
                   INACTIVE = 1u << 3, INACTIVE_GRADIENT = 1u << 4, INACTIVE_TEXT = 1u << 5,
                   HIGHLIGHT = 1u << 6, HIGHLIGHT_TEXT = 1u << 7, INFO = 1u << 8,
                   INFO_TEXT = 1u << 9;

// Optimal string alignment distance: insertions, deletions, substitutions and swaps of two
// neighbours; counting stops early once past limit.
std::size_t editDistance(const std::string& a, const std::string& b, std::size_t limit) {
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) {
        return limit + 1;
    }
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

} // namespace

const std::vector<StyleKey>& pluginStyleKeys() {
    // A solid texture gives the caption's one colour to its gradient too; the menu elements give
    // the highlight in turn, and the title or the frame the tooltip.
    static const std::vector<StyleKey> keys = {
        {"window.label.focus:", true, false, 0},
        {"window.title.focus:", true, false, 0},
        {"window.title.focus.color:", false, true, ACTIVE | ACTIVE_GRADIENT},
        {"window.title.focus.colorTo:", false, true, ACTIVE_GRADIENT},
        {"window.label.focus.color:", false, true, ACTIVE | ACTIVE_GRADIENT},
        {"window.label.focus.colorTo:", false, true, ACTIVE_GRADIENT},
        {"window.label.focus.textColor:", false, true, ACTIVE_TEXT},
        {"window.label.unfocus:", true, false, 0},
        {"window.title.unfocus:", true, false, 0},
        {"window.title.unfocus.color:", false, true, INACTIVE | INACTIVE_GRADIENT},
        {"window.title.unfocus.colorTo:", false, true, INACTIVE_GRADIENT},
        {"window.label.unfocus.color:", false, true, INACTIVE | INACTIVE_GRADIENT},
        {"window.label.unfocus.colorTo:", false, true, INACTIVE_GRADIENT},
        {"window.label.unfocus.textColor:", false, true, INACTIVE_TEXT},
        {"menu.hilite:", true, false, 0},
        {"menu.hilite.color:", false, true, HIGHLIGHT},
        {"menu.hilite.textColor:", false, true, HIGHLIGHT_TEXT},
        {"menu.hilite.colorTo:", true, true, HIGHLIGHT},
        {"menu.title:", true, false, 0},
        {"menu.title.color:", false, true, HIGHLIGHT | INFO},
        {"menu.title.textColor:", false, true, HIGHLIGHT_TEXT | INFO_TEXT},
        {"menu.title.colorTo:", true, true, HIGHLIGHT},
        {"menu.frame.color:", false, true, HIGHLIGHT | INFO},
        {"menu.frame.textColor:", false, true, HIGHLIGHT_TEXT | INFO_TEXT},
        {"menu.frame.colorTo:", true, true, HIGHLIGHT},
    };
    return keys;
}

const StyleKey* findStyleKey(const std::string& key) {
    const std::string lower = stylefile::lowerCase(key);
    for (const StyleKey& known : pluginStyleKeys()) {
        if (stylefile::lowerCase(known.key) == lower) {
            return &known;
        }
    }
    return nullptr;
}

const StyleKey* nearestStyleKey(const std::string& key) {
    constexpr std::size_t MOST_EDITS = 2;
    const std::string lower = stylefile::lowerCase(key);
    const StyleKey* nearest = nullptr;
    std::size_t best = MOST_EDITS + 1;
    for (const StyleKey& known : pluginStyleKeys()) {
        const std::size_t distance =
            editDistance(lower, stylefile::lowerCase(known.key), MOST_EDITS);
        if (distance < best) {
            best = distance;
            nearest = &known;
        }
    }
    return best == 0 ? nullptr : nearest;
}

std::array<bool, MANAGED_COLOR_COUNT> colorsFromDefaults(const AppliedColors& colors,
                                                         const std::vector<standin::Lookup>& pass) {
    std::array<bool, MANAGED_COLOR_COUNT> fromDefaults{};
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        // No lookup that gave the value: the plug-in's own fixed fallback.
        fromDefaults[i] = true;
        for (auto it = pass.rbegin(); it != pass.rend(); ++it) {
            const StyleKey* key = findStyleKey(it->key);
            if (it->color && key != nullptr && (key->colorsFed & (1u << i)) != 0 &&
                it->result == colors[i].value) {
                fromDefaults[i] = !it->usable;
                break;
            }
        }
    }
    return fromDefaults;
}

} // namespace preview
