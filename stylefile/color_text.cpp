#include "stylefile/color_text.h"

#include <charconv>
#include <cstdio>

namespace stylefile {

bool parseColor(std::string_view text, COLORREF& color) {
    const char* const end = text.data() + text.size();
    unsigned value = 0;
    if ((text.size() != 7 && text.size() != 4) || text.front() != '#' ||
        std::from_chars(text.data() + 1, end, value, 16).ptr != end) {
        return false;
    }
    // "#rgb" stands for "#rrggbb".
    const auto channel = [&](int i) {
        return text.size() == 4 ? (value >> (8 - 4 * i) & 0xf) * 17 : value >> (16 - 8 * i) & 0xff;
    };
    color = RGB(channel(0), channel(1), channel(2));
    return true;
}

std::string colorText(COLORREF color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return text;
}

} // namespace stylefile
