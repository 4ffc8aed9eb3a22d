// The ten Windows system colours Tintlet manages, and their hand-over to Windows.
#pragma once

#include <windows.h>

struct SystemColorSet {
    COLORREF activeCaption;           // COLOR_ACTIVECAPTION
    COLORREF gradientActiveCaption;   // COLOR_GRADIENTACTIVECAPTION
    COLORREF captionText;             // COLOR_CAPTIONTEXT
    COLORREF inactiveCaption;         // COLOR_INACTIVECAPTION
    COLORREF gradientInactiveCaption; // COLOR_GRADIENTINACTIVECAPTION
    COLORREF inactiveCaptionText;     // COLOR_INACTIVECAPTIONTEXT
    COLORREF highlight;               // COLOR_HIGHLIGHT
    COLORREF highlightText;           // COLOR_HIGHLIGHTTEXT
    COLORREF infoBackground;          // COLOR_INFOBK
    COLORREF infoText;                // COLOR_INFOTEXT
};

constexpr int MANAGED_COLOR_COUNT = 10;

// The system colour index of each field, in field order.
extern const INT managedColorIndices[MANAGED_COLOR_COUNT];

// The module's one colour set, filled by every reading pass.
extern SystemColorSet systemColors;

// Hands all ten colours to Windows in a single SetSysColors call.
void applySystemColors();
