#include "tools/preview/style_keys.h"

#include "colors/style_access.h"
#include "colors/style_lookups.h"
#include "stylefile/style_file.h"

#include <algorithm>

namespace preview {
namespace {

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

bool pluginReadsKey(const std::string& key) {
    const std::string lower = stylefile::lowerCase(key);
    return std::any_of(
        std::begin(styleLookups), std::end(styleLookups),
        [&](const StyleLookupEntry& entry) { return stylefile::lowerCase(entry.key) == lower; });
}

const char* nearestPluginKey(const std::string& key) {
    constexpr std::size_t MOST_EDITS = 2;
    const std::string lower = stylefile::lowerCase(key);
    const char* nearest = nullptr;
    std::size_t best = MOST_EDITS + 1;
    for (const StyleLookupEntry& entry : styleLookups) {
        const std::size_t distance =
            editDistance(lower, stylefile::lowerCase(entry.key), MOST_EDITS);
        if (distance < best) {
            best = distance;
            nearest = entry.key;
        }
    }
    return best == 0 ? nullptr : nearest;
}

std::array<bool, MANAGED_COLOR_COUNT> colorsFromDefaults(const std::vector<standin::Lookup>& pass) {
    std::array<bool, MANAGED_COLOR_COUNT> fromDefaults{};
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        fromDefaults[i] = true; // the fixed fallback, or a lookup the host did not see
        if (colorSources[i] == StyleLookup::FixedColor) {
            continue;
        }
        const StyleLookupEntry& entry = entryOf(colorSources[i]);
        const auto made = std::find_if(pass.rbegin(), pass.rend(), [&](const standin::Lookup& l) {
            return l.color && l.key == entry.key && l.defaultText == entry.defaultValue;
        });
        if (made != pass.rend()) {
            fromDefaults[i] = !made->usable;
        }
    }
    return fromDefaults;
}

} // namespace preview
