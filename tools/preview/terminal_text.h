// Text from files and file names, made safe to print, and whether to print colour.
#pragma once

#include <string>

namespace preview {

// text with control bytes, and bytes that are not valid UTF-8, written as \xNN, so a file name
// can neither steer the terminal nor break a line; valid UTF-8 stays as it is.
std::string printable(const std::string& text);

// Whether colour escapes may be written: only to a terminal, and neither with NO_COLOR set
// (noColor non-empty) nor with TERM=dumb. Null stands for an unset variable.
bool colorWanted(bool terminal, const char* noColor, const char* term);

} // namespace preview
