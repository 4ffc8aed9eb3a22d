#include "colors/system_color_set.h"

SystemColorSet systemColors;

void applySystemColors() {
#define TINTLET_VALUE(field, index) systemColors.field,
    const COLORREF values[MANAGED_COLOR_COUNT] = {TINTLET_MANAGED_COLORS(TINTLET_VALUE)};
#undef TINTLET_VALUE
    // One call, so Windows never repaints with half a style applied.
    SetSysColors(MANAGED_COLOR_COUNT, managedColorIndices, values);
}
