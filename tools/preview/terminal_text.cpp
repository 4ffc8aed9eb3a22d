#include "tools/preview/terminal_text.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <cstring>

namespace preview {
namespace {

const InvisibleCharacter invisibleCharacters[] = {
    {0x00ad, "a soft hyphen"},
    {0x061c, "an Arabic letter mark"},
    {0x180e, "a Mongolian vowel separator"},
    {0x200b, "a zero-width space"},
    {0x200c, "a zero-width non-joiner"},
    {0x200d, "a zero-width joiner"},
    {0x200e, "a left-to-right mark"},
    {0x200f, "a right-to-left mark"},
    {0x202a, "a left-to-right embedding"},
    {0x202b, "a right-to-left embedding"},
    {0x202c, "a pop directional formatting"},
    {0x202d, "a left-to-right override"},
    {0x202e, "a right-to-left override"},
    {0x2060, "a word joiner"},
    {0x2061, "an invisible function application"},
    {0x2062, "an invisible times"},
    {0x2063, "an invisible separator"},
    {0x2064, "an invisible plus"},
    {0x2066, "a left-to-right isolate"},
    {0x2067, "a right-to-left isolate"},
    {0x2068, "a first strong isolate"},
    {0x2069, "a pop directional isolate"},
    {0xfeff, "a byte-order mark"},
};

constexpr char HEX_DIGITS[] = "0123456789abcdef";

const InvisibleCharacter* invisible(char32_t code) {
    const auto* const end = std::end(invisibleCharacters);
    const auto* found = std::find_if(std::begin(invisibleCharacters), end,
                                     [&](const InvisibleCharacter& c) { return c.code == code; });
    return found == end ? nullptr : found;
}

} // namespace

std::size_t nextCharacter(std::string_view text, std::size_t at, char32_t* code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xc2 && lead <= 0xdf ? 2
                               : lead >= 0xe0 && lead <= 0xef ? 3
                               : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                              : 0;
    char32_t value = length < 2 ? lead : lead & (0x7f >> length);
    bool valid = length > 0 && at + length <= text.size();
    for (std::size_t i = 1; valid && i < length; ++i) {
        valid = (byte(at + i) & 0xc0) == 0x80;
        value = value << 6 | (byte(at + i) & 0x3f);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && value >= smallest[length] && value <= 0x10ffff &&
            !(value >= 0xd800 && value <= 0xdfff);
    *code = valid ? value : NOT_A_CHARACTER + lead;
    return valid ? length : 1;
}

std::string printable(std::string_view text) {
    std::string out;
    for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
        char32_t code = 0;
        length = nextCharacter(text, at, &code);
        const bool shown = code >= 0x20 && !(code >= 0x7f && code <= 0x9f) && code != 0xfffe &&
                           code != 0xffff && code < NOT_A_CHARACTER && invisible(code) == nullptr;
        if (shown) {
            out.append(text, at, length);
        }
        // Else the bytes, of a whole invisible character too.
        for (std::size_t i = 0; !shown && i < length; ++i) {
            const auto byte = static_cast<unsigned char>(text[at + i]);
            out += {'\\', 'x', HEX_DIGITS[byte >> 4], HEX_DIGITS[byte & 0xf]};
        }
    }
    return out;
}

const InvisibleCharacter* invisibleCharacterIn(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        // None is ASCII; a key is read a byte at a time only where it is not.
        at += static_cast<unsigned char>(text[at]) < 0x80 ? 1 : nextCharacter(text, at, &code);
        if (const InvisibleCharacter* character = code != 0 ? invisible(code) : nullptr) {
            return character;
        }
    }
    return nullptr;
}

std::string describe(const InvisibleCharacter& character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character.code));
    return std::string(character.name) + " (" + code + ")";
}

std::string quotedText(std::string_view text) {
    std::size_t at = 0, cut = text.size(), characters = 0;
    while (at < text.size()) {
        char32_t code = 0;
        at += nextCharacter(text, at, &code);
        cut = ++characters == MOST_QUOTED_CHARACTERS ? at : cut;
    }
    return "\"" + std::string(text.substr(0, cut)) +
           (characters <= MOST_QUOTED_CHARACTERS
                ? "\""
                : "...\" (" + std::to_string(characters) + " characters)");
}

bool colorWanted(bool terminal, const char* noColor, const char* term) {
    return terminal && (noColor == nullptr || *noColor == '\0') &&
           (term == nullptr || std::strcmp(term, "dumb") != 0);
}

} // namespace preview
