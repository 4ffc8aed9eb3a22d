#include "tools/preview/style_keys.h"

#include "colors/style_access.h"
#include "colors/style_lookups.h"
#include "tools/preview/terminal_text.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <bitset>
#include <cstdint>

namespace preview {
namespace {

constexpr std::size_t MOST_EDITS = 2;
// Longer keys are more than MOST_EDITS from every key the plug-in reads.
constexpr std::size_t LONGEST_KEY = 48;

// A key as characters, lower-cased; a byte that is no valid UTF-8 is a character of its own.
struct Characters {
    char32_t text[LONGEST_KEY];
    std::size_t size = 0;
    std::uint64_t present = 0; // a bit for each character in it, by its value modulo 64
};

// Into a Characters made for it; false when key is longer than LONGEST_KEY characters.
bool charactersOf(std::string_view key, Characters* out) {
    if (key.size() > 4 * LONGEST_KEY) {
        return false;
    }
    for (std::size_t at = 0; at < key.size();) {
        if (out->size == LONGEST_KEY) {
            return false;
        }
        // ASCII at once: keys are long and many, and almost always plain.
        char32_t code = static_cast<unsigned char>(key[at]);
        const std::size_t length = code < 0x80 ? 1 : nextCharacter(key, at, &code);
        code = code >= 'A' && code <= 'Z' ? code - 'A' + 'a' : code;
        out->text[out->size++] = code;
        out->present |= std::uint64_t{1} << (code % 64);
        at += length;
    }
    return true;
}

// A key as words, however they are joined and spelt: lower case, without the ASCII marks between
// them, in the plug-in's spelling of words authors write otherwise ("highlight", "colour").
std::string wordsOf(std::string_view key) {
    std::string words;
    for (char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || std::isalnum(byte)) {
            words += static_cast<char>(std::tolower(byte));
        }
    }
    for (const auto& [written, meant] :
         {std::pair<std::string_view, std::string_view>{"highlight", "hilite"},
          {"highlite", "hilite"},
          {"hilight", "hilite"},
          {"colour", "color"}}) {
        for (std::size_t at; (at = words.find(written)) != std::string::npos;) {
            words.replace(at, written.size(), meant);
        }
    }
    return words;
}

// The keys the plug-in reads, each once, as characters and as words.
struct PluginKey {
    const char* key;
    Characters characters;
    std::string words;
};

const std::vector<PluginKey>& pluginKeys() {
    static const std::vector<PluginKey> keys = [] {
        std::vector<PluginKey> all;
        for (const KeyLookups& entries : lookupsByKey()) {
            PluginKey key{entries.front()->key, {}, wordsOf(entries.front()->key)};
            charactersOf(key.key, &key.characters);
            all.push_back(key);
        }
        return all;
    }();
    return keys;
}

// Optimal string alignment distance (insertions, deletions, substitutions and swaps of two
// neighbours), or limit + 1 once it is more than limit. What the two share at either end takes
// no edit and is set aside first; then only the cells within limit of the diagonal can stay
// within it.
std::size_t editDistance(const char32_t* a, std::size_t n, const char32_t* b, std::size_t m,
                         std::size_t limit) {
    while (n > 0 && m > 0 && a[0] == b[0]) {
        ++a, ++b, --n, --m;
    }
    while (n > 0 && m > 0 && a[n - 1] == b[m - 1]) {
        --n, --m;
    }
    const std::size_t beyond = limit + 1;
    if ((n > m ? n - m : m - n) > limit) {
        return beyond;
    }
    // Each row holds its band, and beyond on either side of it, where the next row looks.
    std::size_t rows[3][LONGEST_KEY + 2];
    std::size_t* before = rows[0]; // row i - 2
    std::size_t* last = rows[1];   // row i - 1
    std::size_t* row = rows[2];
    for (std::size_t j = 0; j <= m + 1; ++j) {
        last[j] = std::min(j, beyond);
        before[j] = beyond;
    }
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t from = i > limit ? i - limit : 1;
        const std::size_t to = std::min(i + limit, m);
        row[from - 1] = from == 1 && i < beyond ? i : beyond;
        row[to + 1] = beyond;
        std::size_t best = row[from - 1];
        for (std::size_t j = from; j <= to; ++j) {
            std::size_t cell = std::min(
                {last[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1), last[j] + 1, row[j - 1] + 1});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1] &&
                before[j - 2] + 1 < cell) {
                cell = before[j - 2] + 1;
            }
            row[j] = std::min(cell, beyond);
            best = std::min(best, row[j]);
        }
        if (best > limit) {
            return beyond;
        }
        std::size_t* oldest = before;
        before = last;
        last = row;
        row = oldest;
    }
    return last[m];
}

} // namespace

KeyMatch matchPluginKey(std::string_view key) {
    KeyMatch match;
    Characters characters;
    if (!charactersOf(key, &characters)) {
        return match;
    }
    const std::string words = wordsOf(key);
    bool sameWords = false;
    std::size_t best = MOST_EDITS + 1;
    for (const PluginKey& plugin : pluginKeys()) {
        // The same words, written otherwise, beat any near spelling.
        if (!sameWords && plugin.words == words) {
            sameWords = true;
            best = 0;
            match.nearest = plugin.key;
        }
        // Cheap signs of more than MOST_EDITS edits: the lengths, or characters one has and the
        // other lacks (each edit brings in at most one).
        const std::size_t size = plugin.characters.size;
        const std::size_t longer =
            size > characters.size ? size - characters.size : characters.size - size;
        const auto lacking = [](std::uint64_t one, std::uint64_t other) {
            return std::bitset<64>(one & ~other).count();
        };
        if (longer > MOST_EDITS ||
            lacking(characters.present, plugin.characters.present) > MOST_EDITS ||
            lacking(plugin.characters.present, characters.present) > MOST_EDITS) {
            continue;
        }
        const std::size_t distance =
            editDistance(characters.text, characters.size, plugin.characters.text,
                         plugin.characters.size, MOST_EDITS);
        if (distance == 0) {
            return {true, nullptr};
        }
        if (distance < best) {
            best = distance;
            match.nearest = plugin.key;
        }
    }
    return match;
}

const std::vector<KeyLookups>& lookupsByKey() {
    static const std::vector<KeyLookups> keys = [] {
        std::vector<KeyLookups> keys;
        for (const StyleLookupEntry& entry : styleLookups) {
            const auto same = std::find_if(keys.begin(), keys.end(), [&](const KeyLookups& key) {
                return std::strcmp(key.front()->key, entry.key) == 0;
            });
            if (std::strcmp(entry.defaultValue, ABSENT_TEXT) == 0) {
                continue;
            }
            if (same == keys.end()) {
                keys.push_back({&entry});
            } else {
                same->push_back(&entry);
            }
        }
        return keys;
    }();
    return keys;
}

std::string keyTable() {
    std::string table =
        "| key | read as | default | system colours it can feed |\n|---|---|---|---|\n";
    for (const KeyLookups& entries : lookupsByKey()) {
        const bool color = entries.front()->kind == LookupKind::Color;
        std::string defaults, feeds;
        for (const StyleLookupEntry* entry : entries) {
            const std::string field =
                color ? managedColorNames[static_cast<int>(entry->field)] : "";
            defaults += (defaults.empty() ? "`" : ", `") + std::string(entry->defaultValue) + "`" +
                        (entries.size() > 1 ? " (" + field + ")" : "");
            // A solid caption's gradient takes the caption's colour.
            const bool caption = entry->field == ManagedColor::activeCaption ||
                                 entry->field == ManagedColor::inactiveCaption;
            feeds += color ? (feeds.empty() ? "" : ", ") + field : "";
            feeds += caption
                         ? ", " +
                               std::string(managedColorNames[static_cast<int>(entry->field) + 1]) +
                               " (solid)"
                         : "";
        }
        table += "| `" + std::string(entries.front()->key) + "` | " + (color ? "colour" : "text") +
                 " | " + defaults + " | " + (color ? feeds : "—") + " |\n";
    }
    return table;
}

std::string keyName(const char* key) {
    return std::string(key, std::strlen(key) - 1);
}

} // namespace preview
