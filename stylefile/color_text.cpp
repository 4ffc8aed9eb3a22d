#include "stylefile/color_text.h"

#include <cstdio>

namespace stylefile {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

bool parseColor(std::string_view text, COLORREF& color) {
    if ((text.size() != 7 && text.size() != 4) || text.front() != '#') {
        return false;
    }
    int digits[6];
    const std::size_t count = text.size() - 1;
    for (std::size_t i = 0; i < count; ++i) {
        digits[i] = hexDigit(text[i + 1]);
        if (digits[i] < 0) {
            return false;
        }
    }
    int channels[3];
    for (int i = 0; i < 3; ++i) {
        // "#rgb" stands for "#rrggbb".
        channels[i] = count == 3 ? digits[i] * 17 : digits[2 * i] * 16 + digits[2 * i + 1];
    }
    color = RGB(channels[0], channels[1], channels[2]);
    return true;
}

std::string colorText(COLORREF color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return text;
}

} // namespace stylefile
