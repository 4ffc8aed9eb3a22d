// Reading the host's current style into the system colour set.
#pragma once

#include <windows.h>

constexpr int STYLE_PATH_BUFFER_SIZE = 260;
constexpr int STYLE_TEXT_BUFFER_SIZE = 4096;

// This pass's copy of the style path; every lookup of the pass is made with it.
extern char stylePathBuffer[STYLE_PATH_BUFFER_SIZE];
// The copy of the latest text value; texture tests read this, never the host's pointer.
extern char styleTextBuffer[STYLE_TEXT_BUFFER_SIZE];

// Fills all ten fields of systemColors from the current style.
void readStyleColors();

// Looks up a key's text and copies it into styleTextBuffer. A null answer counts as the
// default text; a value too long for the buffer is shortened to what fits.
void readStyleText(const char* key, const char* defaultText);

// Whether the text in styleTextBuffer contains fragment.
bool styleTextContains(const char* fragment);

// Looks up a key's colour with this pass's style path.
COLORREF readStyleColor(const char* key, const char* defaultColor);
