// Choosing the selection highlight from the style's menu colours.
#pragma once

#include "colors/style_lookups.h"

#include <windows.h>

// The fixed pair the fallback chain ends in: the colour "#0a246a" and white text; black in place
// of the colour when every element and its second colour were the window colour.
constexpr COLORREF FALLBACK_HIGHLIGHT = 0x006A240A;
constexpr COLORREF FALLBACK_HIGHLIGHT_TEXT = 0x00FFFFFF;
constexpr COLORREF BLACK_FALLBACK_HIGHLIGHT = 0x00000000;

// A menu element the highlight may come from: its colour and text colour, the presence test of
// its second colour, and that colour.
struct MenuElement {
    StyleLookup color;
    StyleLookup textColor;
    StyleLookup colorToDefined;
    StyleLookup colorTo;
};
// menu.hilite, menu.title and menu.frame, in the order they are tried.
extern const MenuElement menuElements[3];

// Fills systemColors.highlight and highlightText; step four of a reading pass.
void chooseMenuHighlight();
