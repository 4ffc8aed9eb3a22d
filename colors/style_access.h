// The plug-in's way to the host's style, one lookup at a time: this pass's copies of the style
// path and of the latest text, the lookups of the table in style_lookups.h, and the filling of
// the colour set, which notes for each field the lookup that gave its colour.
#pragma once

#include "colors/style_lookups.h"

#include <windows.h>

constexpr int STYLE_PATH_BUFFER_SIZE = 260;
constexpr int STYLE_TEXT_BUFFER_SIZE = 4096;

// This pass's copy of the style path; every lookup of the pass is made with it.
extern char stylePathBuffer[STYLE_PATH_BUFFER_SIZE];
// The copy of the latest text value; texture tests read this, never the host's pointer.
extern char styleTextBuffer[STYLE_TEXT_BUFFER_SIZE];

// For each field of systemColors, the lookup whose colour it holds, or StyleLookup::FixedColor.
extern StyleLookup colorSources[MANAGED_COLOR_COUNT];

// Copies the host's style path into stylePathBuffer; one the buffer cannot hold whole, or none,
// becomes the empty path.
void copyStylePath();

// Looks up a text and copies it into styleTextBuffer. A null answer counts as the default text;
// a value too long for the buffer is shortened to what fits.
void readStyleText(StyleLookup lookup);

// Whether the text in styleTextBuffer contains fragment.
bool styleTextContains(const char* fragment);

// Looks up a colour with this pass's style path.
COLORREF readStyleColor(StyleLookup lookup);

// Whether the style defines the key of a presence test: its text lacks ABSENT_TEXT.
bool styleKeyDefined(StyleLookup presence);

// Looks up a colour into the field the table names for it; returns the colour.
COLORREF fillColor(StyleLookup lookup);

// Gives the field that lookup fills the colour, and the source, of the one that source fills.
void fillLike(StyleLookup lookup, StyleLookup source);

// Sets a field to one of the plug-in's own colours.
void fillFixedColor(ManagedColor field, COLORREF color);
