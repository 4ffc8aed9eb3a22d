// The WCAG 2 contrast ratio as its text gives it, written apart from the tool's, for the tests
// that hold the tool's figures and suggestions to it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>

inline double wcagLuminance(COLORREF color) {
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> table{};
        for (int v = 0; v < 256; ++v) {
            const double c = v / 255.0;
            table[v] = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return table;
    }();
    return 0.2126 * linear[GetRValue(color)] + 0.7152 * linear[GetGValue(color)] +
           0.0722 * linear[GetBValue(color)];
}

inline double wcagRatio(COLORREF x, COLORREF y) {
    const double a = wcagLuminance(x) + 0.05, b = wcagLuminance(y) + 0.05;
    return std::max(a, b) / std::min(a, b);
}
