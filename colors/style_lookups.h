// What the plug-in reads of a style, written once: every lookup a reading pass can make, with its
// key, whether it is read as text or as a colour, its default, and the field of the colour set a
// colour lookup fills. The reading code names lookups from here; the preview reads the same table
// for the keys the plug-in knows and for where each applied colour came from.
#pragma once

#include "colors/system_color_set.h"

// The default of a presence test: a key whose text contains it counts as not defined.
inline constexpr char ABSENT_TEXT[] = "doesnotexist";

enum class LookupKind : unsigned char { Text, Color };

// Each lookup: its name, key, kind, default and the field it fills (none for a text). A solid
// caption's gradient takes its caption's colour, so it also comes from the caption's lookup.
// The same key may be looked up more than once, with other defaults for other fields.
#define TINTLET_STYLE_LOOKUPS(LOOKUP)                                                              \
    LOOKUP(FocusLabel, "window.label.focus:", Text, "parentrelative", none)                        \
    LOOKUP(FocusTitle, "window.title.focus:", Text, "flat gradient vertical", none)                \
    LOOKUP(FocusTitleColor, "window.title.focus.color:", Color, "#0a246a", activeCaption)          \
    LOOKUP(FocusTitleColorTo, "window.title.focus.colorTo:", Color, "#a6caf0",                     \
           gradientActiveCaption)                                                                  \
    LOOKUP(FocusLabelColor, "window.label.focus.color:", Color, "#0a246a", activeCaption)          \
    LOOKUP(FocusLabelColorTo, "window.label.focus.colorTo:", Color, "#a6caf0",                     \
           gradientActiveCaption)                                                                  \
    LOOKUP(FocusLabelTextColor, "window.label.focus.textColor:", Color, "#ffffff", captionText)    \
    LOOKUP(UnfocusLabel, "window.label.unfocus:", Text, "parentrelative", none)                    \
    LOOKUP(UnfocusTitle, "window.title.unfocus:", Text, "flat gradient vertical", none)            \
    LOOKUP(UnfocusTitleColor, "window.title.unfocus.color:", Color, "#0a246a", inactiveCaption)    \
    LOOKUP(UnfocusTitleColorTo, "window.title.unfocus.colorTo:", Color, "#a6caf0",                 \
           gradientInactiveCaption)                                                                \
    LOOKUP(UnfocusLabelColor, "window.label.unfocus.color:", Color, "#808080", inactiveCaption)    \
    LOOKUP(UnfocusLabelColorTo, "window.label.unfocus.colorTo:", Color, "#c0c0c0",                 \
           gradientInactiveCaption)                                                                \
    LOOKUP(UnfocusLabelTextColor, "window.label.unfocus.textColor:", Color, "#d4d0c8",             \
           inactiveCaptionText)                                                                    \
    LOOKUP(MenuHilite, "menu.hilite:", Text, "parentrelative", none)                               \
    LOOKUP(HiliteColor, "menu.hilite.color:", Color, "#0a246a", highlight)                         \
    LOOKUP(HiliteTextColor, "menu.hilite.textColor:", Color, "#ffffff", highlightText)             \
    LOOKUP(HiliteColorToDefined, "menu.hilite.colorTo:", Text, ABSENT_TEXT, none)                  \
    LOOKUP(HiliteColorTo, "menu.hilite.colorTo:", Color, "#0a246a", highlight)                     \
    LOOKUP(TitleColor, "menu.title.color:", Color, "#0a246a", highlight)                           \
    LOOKUP(TitleTextColor, "menu.title.textColor:", Color, "#ffffff", highlightText)               \
    LOOKUP(TitleColorToDefined, "menu.title.colorTo:", Text, ABSENT_TEXT, none)                    \
    LOOKUP(TitleColorTo, "menu.title.colorTo:", Color, "#0a246a", highlight)                       \
    LOOKUP(FrameColor, "menu.frame.color:", Color, "#0a246a", highlight)                           \
    LOOKUP(FrameTextColor, "menu.frame.textColor:", Color, "#ffffff", highlightText)               \
    LOOKUP(FrameColorToDefined, "menu.frame.colorTo:", Text, ABSENT_TEXT, none)                    \
    LOOKUP(FrameColorTo, "menu.frame.colorTo:", Color, "#0a246a", highlight)                       \
    LOOKUP(MenuTitle, "menu.title:", Text, "parentrelative", none)                                 \
    LOOKUP(TooltipFrameColor, "menu.frame.color:", Color, "#ffffe1", infoBackground)               \
    LOOKUP(TooltipFrameTextColor, "menu.frame.textColor:", Color, "#000000", infoText)             \
    LOOKUP(TooltipTitleColor, "menu.title.color:", Color, "#ffffe1", infoBackground)               \
    LOOKUP(TooltipTitleTextColor, "menu.title.textColor:", Color, "#000000", infoText)

enum class StyleLookup : unsigned char {
#define TINTLET_LOOKUP_NAME(name, key, kind, defaultValue, field) name,
    TINTLET_STYLE_LOOKUPS(TINTLET_LOOKUP_NAME)
#undef TINTLET_LOOKUP_NAME
    // Not a lookup: the plug-in's own fixed colour, where the fallback chain ran out.
    FixedColor,
};

constexpr int STYLE_LOOKUP_COUNT = static_cast<int>(StyleLookup::FixedColor);

struct StyleLookupEntry {
    const char* key; // as the host is asked, with its colon
    LookupKind kind;
    ManagedColor field; // none for a text
    const char* defaultValue;
};

inline constexpr StyleLookupEntry styleLookups[STYLE_LOOKUP_COUNT] = {
#define TINTLET_LOOKUP_ENTRY(name, key, kind, defaultValue, field)                                 \
    {key, LookupKind::kind, ManagedColor::field, defaultValue},
    TINTLET_STYLE_LOOKUPS(TINTLET_LOOKUP_ENTRY)
#undef TINTLET_LOOKUP_ENTRY
};

constexpr const StyleLookupEntry& entryOf(StyleLookup lookup) {
    return styleLookups[static_cast<int>(lookup)];
}
