#include "tools/preview/suggestions.h"

#include "tools/preview/contrast_fix.h"

#include "stylefile/color_text.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace preview {
namespace {

struct Change {
    std::string key;
    COLORREF value;
};

// What an order of keys changes, and how far that is from their own colours in OKLab.
struct Choice {
    std::vector<Change> changes;
    double distance = 0;
};

// The places among the ten of a pair's text, background and gradient's end; -1 for none.
std::array<int, 3> placesOf(int pair) {
    const ContrastPair& p = contrastPairs[pair];
    return {placeOf(p.text), placeOf(p.background), placeOf(p.gradient)};
}

// What suggestions are judged on: the key each of the ten came from ("" for the plug-in's own)
// and the window, with the report's own measure.
struct Judge {
    std::array<std::string, MANAGED_COLOR_COUNT> keys;
    COLORREF window;

    bool drawnIn(int pair, const std::string& key) const {
        const std::array<int, 3> places = placesOf(pair);
        return std::any_of(places.begin(), places.end(),
                           [&](int at) { return at >= 0 && keys[at] == key; });
    }
    // A gradient's end is one of its pixels: a pair that fails there is known without the blend.
    bool reads(int pair, const AppliedColors& colors) const {
        const ContrastPair& p = contrastPairs[pair];
        const ContrastPair end{p.what, p.text, p.gradient, -1, p.minimum};
        return !(p.gradient >= 0 && contrastOf(end, colors, window).ratio < p.minimum) &&
               !(contrastOf(p, colors, window).ratio < p.minimum);
    }
    int placeOfKey(const std::string& key) const {
        return static_cast<int>(std::find(keys.begin(), keys.end(), key) - keys.begin());
    }
    // Whether that moved a colour: a key the style lacks gives each colour its own default.
    bool put(AppliedColors& colors, const Change& change) const {
        bool moved = false;
        for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
            moved = moved || (keys[i] == change.key && colors[i].value != change.value);
            colors[i].value = keys[i] == change.key ? change.value : colors[i].value;
        }
        return moved;
    }

    // Whether a pair reads as far as it is known: a side whose key is in later is left out, a
    // gradient's end as if the caption were solid; without its text or caption it reads.
    bool readsSoFar(int pair, AppliedColors colors, const std::set<std::string>& later) const {
        const auto [text, background, end] = placesOf(pair);
        const auto left = [&](int at) { return at >= 0 && later.count(keys[at]) > 0; };
        if (left(text) || (left(background) && (end < 0 || left(end)))) {
            return true;
        }
        if (left(background) || left(end)) {
            colors[left(end) ? end : background].value = colors[left(end) ? background : end].value;
        }
        return reads(pair, colors);
    }

    // Each key in turn given the colour nearest its own that makes each pair it is drawn in read,
    // as far as the keys after it leave it known; at the end every pair must read. What changed,
    // or none.
    std::optional<Choice> tryOrder(const std::vector<std::string>& order,
                                   const std::vector<int>& pairs, AppliedColors colors) const {
        Choice choice;
        for (auto key = order.begin(); key != order.end(); ++key) {
            const std::set<std::string> later(key + 1, order.end());
            const COLORREF own = colors[placeOfKey(*key)].value;
            // The plug-in passes over a white menu colour at times: no white highlight is offered.
            const bool highlight = keys[static_cast<int>(ManagedColor::highlight)] == *key;
            const auto found = nearestReading(own, [&](COLORREF color) {
                AppliedColors trial = colors;
                put(trial, {*key, color});
                return !(highlight && color == RGB(255, 255, 255)) &&
                       std::all_of(pairs.begin(), pairs.end(), [&](int pair) {
                           return !drawnIn(pair, *key) || readsSoFar(pair, trial, later);
                       });
            });
            if (!found) {
                return std::nullopt;
            }
            if (put(colors, {*key, *found})) {
                const Oklab a = toOklab(own), b = toOklab(*found);
                choice.changes.push_back({*key, *found});
                choice.distance += std::hypot(a.L - b.L, a.a - b.a, a.b - b.b);
            }
        }
        const auto read = [&](int pair) { return reads(pair, colors); };
        return std::all_of(pairs.begin(), pairs.end(), read) ? std::optional(choice) : std::nullopt;
    }

    // The fewest keys, then the colours nearest their own in OKLab, that make every pair read.
    std::optional<Choice> choose(const std::vector<std::string>& keys,
                                 const std::vector<int>& pairs, const AppliedColors& colors) const {
        const int n = static_cast<int>(keys.size());
        std::optional<Choice> best;
        for (int size = 1, orders = n; size <= n && !best; ++size) {
            for (int code = 0; code < orders; ++code) {
                std::vector<std::string> order; // code's digits in base n, each key once
                for (int digits = code; static_cast<int>(order.size()) < size; digits /= n) {
                    order.push_back(keys[digits % n]);
                }
                const bool once =
                    std::set<std::string>(order.begin(), order.end()).size() == order.size();
                const auto choice = once ? tryOrder(order, pairs, colors) : std::nullopt;
                if (choice && (!best || choice->distance < best->distance)) {
                    best = choice;
                }
            }
            orders *= n;
        }
        return best;
    }
};

} // namespace

std::vector<Fix> suggestFixes(const AppliedColors& colors, const ColorSources& sources,
                              COLORREF window) {
    Judge judge{{}, window};
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        const bool own = sources.lookup[i] == StyleLookup::FixedColor;
        judge.keys[i] = own ? "" : entryOf(sources.lookup[i]).key;
    }
    std::vector<int> unread;
    for (int p = 0; p < CONTRAST_PAIR_COUNT; ++p) {
        if (!judge.reads(p, colors)) {
            unread.push_back(p);
        }
    }
    // Pair by pair, with what was chosen for the pairs before it in: the keys of its colours not
    // chosen yet, held to every pair one of them is drawn in.
    AppliedColors mended = colors;
    std::vector<Change> chosen;
    std::vector<Fix> fixes;
    for (const int p : unread) {
        if (judge.reads(p, mended)) {
            continue; // mended by the changes for a pair before it
        }
        std::vector<std::string> keys;
        bool keyed = false;
        for (const int at : placesOf(p)) {
            const std::string key = at < 0 ? "" : judge.keys[at];
            keyed = keyed || !key.empty();
            if (!key.empty() && std::count(keys.begin(), keys.end(), key) == 0 &&
                std::none_of(chosen.begin(), chosen.end(),
                             [&](const Change& change) { return change.key == key; })) {
                keys.push_back(key);
            }
        }
        std::vector<int> pairs;
        for (int q = 0; q < CONTRAST_PAIR_COUNT; ++q) {
            if (q == p || std::any_of(keys.begin(), keys.end(),
                                      [&](auto& key) { return judge.drawnIn(q, key); })) {
                pairs.push_back(q);
            }
        }
        const auto choice = judge.choose(keys, pairs, mended);
        if (!choice) {
            fixes.push_back({p,
                             keyed ? "no suggestion: no new colours for the keys that gave these, "
                                     "one to three at once, make all they colour readable"
                                   : "no suggestion: this is the plug-in's own colour, as every "
                                     "menu colour was the window's; give one of them another",
                             std::nullopt});
            continue;
        }
        for (const Change& change : choice->changes) {
            judge.put(mended, change);
            chosen.push_back(change);
        }
    }
    // Each change under every failing pair it is drawn in (the one it was chosen for among
    // them), with that pair's ratio once all are in.
    for (const Change& change : chosen) {
        const std::string value = stylefile::colorText(change.value);
        std::optional<StyleChange> edit =
            StyleChange{change.key, sources.line[judge.placeOfKey(change.key)], value};
        for (const int q : unread) {
            if (judge.drawnIn(q, change.key)) {
                const double ratio = contrastOf(contrastPairs[q], mended, window).ratio;
                fixes.push_back(
                    {q, "suggestion: " + change.key + " " + value + "  (" + ratioText(ratio) + ")",
                     std::exchange(edit, std::nullopt)}); // the first carries the change
            }
        }
    }
    return fixes;
}

} // namespace preview
