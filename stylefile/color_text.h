// Colours as style files write them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace stylefile {

// "#rrggbb" or "#rgb", either case, as a COLORREF; false, color untouched, for anything else.
bool parseColor(std::string_view text, COLORREF& color);

// "#rrggbb", lower case.
std::string colorText(COLORREF color);

} // namespace stylefile
