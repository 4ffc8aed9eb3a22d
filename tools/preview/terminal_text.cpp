#include "tools/preview/terminal_text.h"

#include <cstdio>
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

const InvisibleCharacter* invisible(unsigned long code) {
    for (const InvisibleCharacter& character : invisibleCharacters) {
        if (character.code == code) {
            return &character;
        }
    }
    return nullptr;
}

// The length of the sequence at text[at] that is printed as it is: valid UTF-8 that is no
// control, non-character (U+FFFE, U+FFFF) or invisible character; else 0.
std::size_t printableSequence(std::string_view text, std::size_t at) {
    unsigned long code = 0;
    const std::size_t length = sequenceAt(text, at, &code);
    const bool control = code < 0x20 || (code >= 0x7f && code <= 0x9f);
    return length > 0 && !control && code != 0xfffe && code != 0xffff && invisible(code) == nullptr
               ? length
               : 0;
}

} // namespace

std::size_t sequenceAt(std::string_view text, std::size_t at, unsigned long* code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        *code = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        *code = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        *code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80) {
            return 0;
        }
        *code = *code << 6 | (byte(at + i) & 0x3f);
    }
    const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid =
        *code >= smallest[length] && *code <= 0x10ffff && !(*code >= 0xd800 && *code <= 0xdfff);
    return valid ? length : 0;
}

std::string printable(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = printableSequence(text, at);
        if (length > 0) {
            out.append(text, at, length);
            at += length;
            continue;
        }
        // Escape the whole sequence of an invisible character, else the byte.
        unsigned long code = 0;
        const std::size_t sequence = sequenceAt(text, at, &code);
        const std::size_t escapedBytes = sequence > 1 ? sequence : 1;
        for (std::size_t i = 0; i < escapedBytes; ++i) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x",
                          static_cast<unsigned char>(text[at + i]));
            out += escaped;
        }
        at += escapedBytes;
    }
    return out;
}

const InvisibleCharacter* invisibleCharacterIn(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        unsigned long code = 0;
        const std::size_t length = sequenceAt(text, at, &code);
        if (length > 1) {
            if (const InvisibleCharacter* character = invisible(code)) {
                return character;
            }
        }
        at += length > 0 ? length : 1;
    }
    return nullptr;
}

std::string describe(const InvisibleCharacter& character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character.code));
    return std::string(character.name) + " (" + code + ")";
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        unsigned long code = 0;
        const std::size_t length = sequenceAt(text, at, &code);
        at += length > 0 ? length : 1;
    }
    return count;
}

std::string quotedText(std::string_view text) {
    std::size_t at = 0;
    std::size_t characters = 0;
    while (at < text.size() && characters < MOST_QUOTED_CHARACTERS) {
        unsigned long code = 0;
        const std::size_t length = sequenceAt(text, at, &code);
        at += length > 0 ? length : 1;
        ++characters;
    }
    if (at == text.size()) {
        return "\"" + std::string(text) + "\"";
    }
    return "\"" + std::string(text.substr(0, at)) + "...\" (" +
           std::to_string(characters + characterCount(text.substr(at))) + " characters)";
}

bool colorWanted(bool terminal, const char* noColor, const char* term) {
    const bool noColorSet = noColor != nullptr && *noColor != '\0';
    const bool dumb = term != nullptr && std::strcmp(term, "dumb") == 0;
    return terminal && !noColorSet && !dumb;
}

} // namespace preview
