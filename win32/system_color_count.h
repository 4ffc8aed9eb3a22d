// How many system colours Windows has: every index lies below this. A fact of Windows, not of
// Tintlet; it holds for the real <windows.h> as for the stand-in's.
#pragma once

#include <windows.h>

constexpr int SYSTEM_COLOR_COUNT = COLOR_MENUBAR + 1;
