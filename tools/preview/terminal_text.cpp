#include "tools/preview/terminal_text.h"

#include <cstdio>
#include <cstring>

namespace preview {
namespace {

// The length of the valid UTF-8 sequence at text[at] that is no control or non-character
// (U+0080..U+009F, U+FFFE, U+FFFF), or 0.
std::size_t printableSequence(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead >= 0x20 && lead < 0x7f) {
        return 1;
    }
    std::size_t length = 0;
    unsigned long code = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07;
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
        code = code << 6 | (byte(at + i) & 0x3f);
    }
    const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = code >= smallest[length] && code <= 0x10ffff &&
                       !(code >= 0xd800 && code <= 0xdfff) && !(code >= 0x80 && code <= 0x9f) &&
                       code != 0xfffe && code != 0xffff;
    return valid ? length : 0;
}

} // namespace

std::string printable(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = printableSequence(text, at);
        if (length > 0) {
            out.append(text, at, length);
            at += length;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[at]));
        out += escaped;
        ++at;
    }
    return out;
}

bool colorWanted(bool terminal, const char* noColor, const char* term) {
    const bool noColorSet = noColor != nullptr && *noColor != '\0';
    const bool dumb = term != nullptr && std::strcmp(term, "dumb") == 0;
    return terminal && !noColorSet && !dumb;
}

} // namespace preview
