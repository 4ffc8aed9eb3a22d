// The ten Windows system colours Tintlet manages, and their hand-over to Windows.
#pragma once

#include <windows.h>

// The managed colours in the order they are handed to Windows: the colour set's field and the
// system colour index. The colour set, the index list and the names are all made from this list.
#define TINTLET_MANAGED_COLORS(COLOR)                                                              \
    COLOR(activeCaption, COLOR_ACTIVECAPTION)                                                      \
    COLOR(gradientActiveCaption, COLOR_GRADIENTACTIVECAPTION)                                      \
    COLOR(captionText, COLOR_CAPTIONTEXT)                                                          \
    COLOR(inactiveCaption, COLOR_INACTIVECAPTION)                                                  \
    COLOR(gradientInactiveCaption, COLOR_GRADIENTINACTIVECAPTION)                                  \
    COLOR(inactiveCaptionText, COLOR_INACTIVECAPTIONTEXT)                                          \
    COLOR(highlight, COLOR_HIGHLIGHT)                                                              \
    COLOR(highlightText, COLOR_HIGHLIGHTTEXT)                                                      \
    COLOR(infoBackground, COLOR_INFOBK)                                                            \
    COLOR(infoText, COLOR_INFOTEXT)

struct SystemColorSet {
#define TINTLET_FIELD(field, index) COLORREF field;
    TINTLET_MANAGED_COLORS(TINTLET_FIELD)
#undef TINTLET_FIELD
};

// The fields by name, in the same order; none stands for no field.
enum class ManagedColor : unsigned char {
#define TINTLET_NAME_OF(field, index) field,
    TINTLET_MANAGED_COLORS(TINTLET_NAME_OF)
#undef TINTLET_NAME_OF
        none,
};

#define TINTLET_ONE(field, index) +1
constexpr int MANAGED_COLOR_COUNT = 0 TINTLET_MANAGED_COLORS(TINTLET_ONE);
#undef TINTLET_ONE

// The system colour index of each field, in field order.
#define TINTLET_INDEX(field, index) index,
inline constexpr INT managedColorIndices[MANAGED_COLOR_COUNT] = {
    TINTLET_MANAGED_COLORS(TINTLET_INDEX)};
#undef TINTLET_INDEX

// The name of each index's constant ("COLOR_ACTIVECAPTION"), for the host's and the tools'
// reports; the module itself carries no names.
#define TINTLET_NAME(field, index) #index,
inline constexpr const char* managedColorNames[MANAGED_COLOR_COUNT] = {
    TINTLET_MANAGED_COLORS(TINTLET_NAME)};
#undef TINTLET_NAME

// The module's one colour set, filled by every reading pass.
extern SystemColorSet systemColors;

// The field of systemColors a ManagedColor names.
COLORREF& managedColor(ManagedColor field);

// Hands all ten colours to Windows in a single SetSysColors call.
void applySystemColors();
