#include "colors/system_color_set.h"

SystemColorSet systemColors;

namespace {

#define TINTLET_MEMBER(field, index) &SystemColorSet::field,
constexpr COLORREF SystemColorSet::*managedFields[MANAGED_COLOR_COUNT] = {
    TINTLET_MANAGED_COLORS(TINTLET_MEMBER)};
#undef TINTLET_MEMBER

} // namespace

COLORREF& managedColor(ManagedColor field) {
    return systemColors.*managedFields[static_cast<int>(field)];
}

void applySystemColors() {
#define TINTLET_VALUE(field, index) systemColors.field,
    const COLORREF values[MANAGED_COLOR_COUNT] = {TINTLET_MANAGED_COLORS(TINTLET_VALUE)};
#undef TINTLET_VALUE
    // One call, so Windows never repaints with half a style applied.
    SetSysColors(MANAGED_COLOR_COUNT, managedColorIndices, values);
}
