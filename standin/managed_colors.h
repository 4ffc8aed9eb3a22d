// The ten system colours the plug-in manages, by their constants' names, in the order it hands
// them to Windows; for the host's and the tools' reports.
#pragma once

#include <windows.h>

namespace standin {

struct ManagedColor {
    const char* name;
    int index;
};

inline constexpr ManagedColor managedColors[] = {
    {"COLOR_ACTIVECAPTION", COLOR_ACTIVECAPTION},
    {"COLOR_GRADIENTACTIVECAPTION", COLOR_GRADIENTACTIVECAPTION},
    {"COLOR_CAPTIONTEXT", COLOR_CAPTIONTEXT},
    {"COLOR_INACTIVECAPTION", COLOR_INACTIVECAPTION},
    {"COLOR_GRADIENTINACTIVECAPTION", COLOR_GRADIENTINACTIVECAPTION},
    {"COLOR_INACTIVECAPTIONTEXT", COLOR_INACTIVECAPTIONTEXT},
    {"COLOR_HIGHLIGHT", COLOR_HIGHLIGHT},
    {"COLOR_HIGHLIGHTTEXT", COLOR_HIGHLIGHTTEXT},
    {"COLOR_INFOBK", COLOR_INFOBK},
    {"COLOR_INFOTEXT", COLOR_INFOTEXT},
};

inline constexpr int MANAGED_COLOR_COUNT = sizeof managedColors / sizeof managedColors[0];

} // namespace standin
