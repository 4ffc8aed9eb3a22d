#include "colors/system_color_set.h"

const INT managedColorIndices[MANAGED_COLOR_COUNT] = {
    COLOR_ACTIVECAPTION,   COLOR_GRADIENTACTIVECAPTION,   COLOR_CAPTIONTEXT,
    COLOR_INACTIVECAPTION, COLOR_GRADIENTINACTIVECAPTION, COLOR_INACTIVECAPTIONTEXT,
    COLOR_HIGHLIGHT,       COLOR_HIGHLIGHTTEXT,           COLOR_INFOBK,
    COLOR_INFOTEXT,
};

SystemColorSet systemColors;

void applySystemColors() {
    const COLORREF values[MANAGED_COLOR_COUNT] = {
        systemColors.activeCaption,
        systemColors.gradientActiveCaption,
        systemColors.captionText,
        systemColors.inactiveCaption,
        systemColors.gradientInactiveCaption,
        systemColors.inactiveCaptionText,
        systemColors.highlight,
        systemColors.highlightText,
        systemColors.infoBackground,
        systemColors.infoText,
    };
    // One call, so Windows never repaints with half a style applied.
    SetSysColors(MANAGED_COLOR_COUNT, managedColorIndices, values);
}
