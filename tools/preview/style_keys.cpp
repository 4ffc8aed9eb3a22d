#include "tools/preview/style_keys.h"

#include "colors/style_access.h"
#include "colors/style_lookups.h"
#include "tools/preview/terminal_text.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <bitset>

namespace preview {
namespace {

constexpr std::size_t MOST_EDITS = 2;
// Longer keys are more than MOST_EDITS from every key the plug-in reads, and are none it means.
constexpr std::size_t LONGEST_KEY = 48;

// A key as characters, lower-cased (a byte that is no valid UTF-8 is a character of its own), and
// a bit for each character in it, by its value modulo 128: each ASCII one its own.
struct Spelling {
    std::u32string characters;
    std::bitset<128> present;
};

Spelling spellingOf(std::string_view key) {
    Spelling spelling;
    for (std::size_t at = 0; at < key.size();) {
        char32_t code = 0;
        at += nextCharacter(key, at, &code);
        code = code >= 'A' && code <= 'Z' ? code - 'A' + 'a' : code;
        spelling.characters += code;
        spelling.present[code % 128] = true;
    }
    return spelling;
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
    Spelling spelling;
    std::string words;
};

// Optimal string alignment distance (insertions, deletions, substitutions and swaps of two
// neighbours) when it is at most limit, else limit + 1. What the two share at the start takes no
// edit; at the first difference each edit that can mend it is tried, and the rest measured on.
std::size_t editDistance(std::u32string_view a, std::u32string_view b, std::size_t limit) {
    const auto [inA, inB] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    a.remove_prefix(inA - a.begin());
    b.remove_prefix(inB - b.begin());
    // With no edit left, any difference costs one more than allowed.
    if (a.empty() || b.empty() || limit == 0) {
        return std::min(std::max(a.size(), b.size()), limit + 1);
    }
    std::size_t best = 1 + std::min({editDistance(a.substr(1), b.substr(1), limit - 1),
                                     editDistance(a.substr(1), b, limit - 1),
                                     editDistance(a, b.substr(1), limit - 1)});
    if (a.size() > 1 && b.size() > 1 && a[0] == b[1] && a[1] == b[0]) {
        best = std::min(best, 1 + editDistance(a.substr(2), b.substr(2), limit - 1));
    }
    return best;
}

} // namespace

KeyMatch matchPluginKey(std::string_view key) {
    KeyMatch match;
    // A character takes four bytes at most, so the rest of a longer key cannot bring it within.
    const Spelling spelling = spellingOf(key.substr(0, 4 * LONGEST_KEY + 1));
    const std::u32string& characters = spelling.characters;
    if (characters.size() > LONGEST_KEY) {
        return match;
    }
    static const std::vector<PluginKey> pluginKeys = [] {
        std::vector<PluginKey> all;
        for (const KeyLookups& entries : lookupsByKey()) {
            const char* plugin = entries.front()->key;
            all.push_back({plugin, spellingOf(plugin), wordsOf(plugin)});
        }
        return all;
    }();
    const std::string words = wordsOf(key);
    std::size_t best = MOST_EDITS + 1;
    for (const PluginKey& plugin : pluginKeys) {
        // The same words, written otherwise, beat any near spelling.
        if (best > 0 && plugin.words == words) {
            best = 0;
            match.nearest = plugin.key;
        }
        // Cheap signs of more than MOST_EDITS edits: the lengths, or characters one has and the
        // other lacks (each edit brings in at most one).
        const std::size_t size = plugin.spelling.characters.size();
        if ((size > characters.size() ? size - characters.size() : characters.size() - size) >
                MOST_EDITS ||
            (spelling.present & ~plugin.spelling.present).count() > MOST_EDITS ||
            (plugin.spelling.present & ~spelling.present).count() > MOST_EDITS) {
            continue;
        }
        const std::size_t distance =
            editDistance(characters, plugin.spelling.characters, MOST_EDITS);
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
            if (std::strcmp(entry.defaultValue, ABSENT_TEXT) != 0) {
                (same != keys.end() ? *same : keys.emplace_back()).push_back(&entry);
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
        std::string defaults, feeds = color ? "" : "—";
        for (const StyleLookupEntry* entry : entries) {
            const std::string field =
                color ? managedColorNames[static_cast<int>(entry->field)] : "";
            const std::string separator = entry == entries.front() ? "" : ", ";
            defaults += separator + "`" + entry->defaultValue + "`" +
                        (entries.size() > 1 ? " (" + field + ")" : "");
            feeds += separator + field;
            // A solid caption's gradient takes the caption's colour.
            if (entry->field == ManagedColor::activeCaption ||
                entry->field == ManagedColor::inactiveCaption) {
                feeds += ", " + std::string(managedColorNames[static_cast<int>(entry->field) + 1]) +
                         " (solid)";
            }
        }
        table += "| `" + std::string(entries.front()->key) + "` | " + (color ? "colour" : "text") +
                 " | " + defaults + " | " + feeds + " |\n";
    }
    return table;
}

std::string keyName(const char* key) {
    return std::string(key, std::strlen(key) - 1);
}

} // namespace preview
