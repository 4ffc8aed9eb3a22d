// Text from files and file names, made safe to print, and whether to print colour.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace preview {

// Stands for a byte that begins no valid UTF-8 sequence (a stray continuation, an overlong form,
// a surrogate, one cut short), plus the byte: a character of its own, like no other.
constexpr char32_t NOT_A_CHARACTER = 0x110000;

// The character at text[at] and the bytes it takes: 1 for a byte that begins none.
std::size_t nextCharacter(std::string_view text, std::size_t at, char32_t* code);

// text with control bytes, bytes that are not valid UTF-8, and the invisible characters below
// written as \xNN, so a file name can neither steer the terminal, nor break a line, nor read
// otherwise than it is; other valid UTF-8 stays as it is.
std::string printable(std::string_view text);

// A character that is not seen, or that reorders the text around it: bidirectional controls,
// zero-width characters, the byte-order mark.
struct InvisibleCharacter {
    char32_t code;
    const char* name; // "a zero-width space"
};

// The first invisible character in text, or null.
const InvisibleCharacter* invisibleCharacterIn(std::string_view text);

// "a zero-width space (U+200B)"
std::string describe(const InvisibleCharacter& character);

// text in double quotes for a message; beyond MOST_QUOTED_CHARACTERS only its start, and its
// length: "xxxx..." (1048576 characters).
std::string quotedText(std::string_view text);
constexpr std::size_t MOST_QUOTED_CHARACTERS = 64;

// Whether colour escapes may be written: only to a terminal, and neither with NO_COLOR set
// (noColor non-empty) nor with TERM=dumb. Null stands for an unset variable.
bool colorWanted(bool terminal, const char* noColor, const char* term);

} // namespace preview
