#include "standin/style_file.h"

#include <cctype>
#include <cstdio>

namespace standin {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

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

StyleFile StyleFile::parse(std::string_view text, std::vector<StyleProblem>* problems) {
    StyleFile style;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        if (line.empty() || line.front() == '!' || line.front() == '#') {
            continue;
        }
        const std::size_t colon = line.find(':');
        std::string_view name =
            colon == std::string_view::npos ? line : trim(line.substr(0, colon));
        if (colon == std::string_view::npos || name.empty()) {
            if (problems != nullptr) {
                problems->push_back({number, colon == std::string_view::npos
                                                 ? "not a \"key: value\" line, skipped"
                                                 : "no key before the colon, skipped"});
            }
            continue;
        }
        // Keys keep their colon, as the plug-in asks for them ("menu.hilite.color:").
        std::string key = lowerCase(name);
        key += ':';
        style.values_[std::move(key)] = std::string(trim(line.substr(colon + 1)));
    }
    return style;
}

const std::string* StyleFile::find(std::string_view key) const {
    auto it = values_.find(lowerCase(key));
    return it == values_.end() ? nullptr : &it->second;
}

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

} // namespace standin
