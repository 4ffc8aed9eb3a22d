#include "colors/menu_highlight.h"

#include "colors/style_reading.h"
#include "colors/system_color_set.h"

namespace {

constexpr COLORREF FALLBACK_HIGHLIGHT = 0x006A240A; // "#0a246a"
constexpr COLORREF FALLBACK_HIGHLIGHT_TEXT = 0x00FFFFFF;
constexpr COLORREF WHITE = 0x00FFFFFF;
constexpr COLORREF BLACK = 0x00000000;

struct MenuElement {
    const char* color;
    const char* textColor;
    const char* colorTo;
};

const MenuElement hiliteElement = {
    "menu.hilite.color:", "menu.hilite.textColor:", "menu.hilite.colorTo:"};
const MenuElement titleElement = {
    "menu.title.color:", "menu.title.textColor:", "menu.title.colorTo:"};
const MenuElement frameElement = {
    "menu.frame.color:", "menu.frame.textColor:", "menu.frame.colorTo:"};

// How trying one element ended.
enum class Outcome {
    Chosen,           // the element gave the highlight
    SecondUndefined,  // passed over; it has no second colour
    SecondLikeWindow, // passed over; its second colour is the window colour too
};

// A highlight the colour of the window background would hide the selection, so an element
// whose colour equals the reference is passed over unless its second colour differs.
Outcome tryElement(const MenuElement& element, COLORREF reference, COLORREF windowColor) {
    systemColors.highlight = readStyleColor(element.color, "#0a246a");
    systemColors.highlightText = readStyleColor(element.textColor, "#ffffff");
    if (systemColors.highlight != reference) {
        return Outcome::Chosen;
    }
    if (!styleKeyDefined(element.colorTo)) {
        return Outcome::SecondUndefined;
    }
    if (readStyleColor(element.colorTo, "#0a246a") == windowColor) {
        return Outcome::SecondLikeWindow;
    }
    systemColors.highlight = readStyleColor(element.colorTo, "#0a246a");
    return Outcome::Chosen;
}

enum class FrameVariant { Plain, WhiteReference, BlackFallback };

// Which way the frame is tried depends on what the elements before it had as second colours.
FrameVariant frameVariant(bool startedAtHilite, Outcome hilite, Outcome title) {
    if (startedAtHilite && hilite == Outcome::SecondLikeWindow) {
        return title == Outcome::SecondUndefined ? FrameVariant::WhiteReference
                                                 : FrameVariant::BlackFallback;
    }
    if (!startedAtHilite && title == Outcome::SecondLikeWindow) {
        return FrameVariant::WhiteReference;
    }
    return FrameVariant::Plain;
}

} // namespace

bool styleKeyDefined(const char* key) {
    readStyleText(key, "doesnotexist");
    return !styleTextContains("doesnotexist");
}

void chooseMenuHighlight() {
    readStyleText("menu.hilite:", "parentrelative");
    const bool startedAtHilite = !styleTextContains("parentrelative");
    const COLORREF windowColor = GetSysColor(COLOR_WINDOW);

    Outcome hilite = Outcome::SecondUndefined;
    if (startedAtHilite) {
        hilite = tryElement(hiliteElement, windowColor, windowColor);
        if (hilite == Outcome::Chosen) {
            return;
        }
    }
    const Outcome title = tryElement(titleElement, windowColor, windowColor);
    if (title == Outcome::Chosen) {
        return;
    }

    const FrameVariant variant = frameVariant(startedAtHilite, hilite, title);
    const COLORREF reference = variant == FrameVariant::WhiteReference ? WHITE : windowColor;
    const Outcome frame = tryElement(frameElement, reference, windowColor);
    if (frame == Outcome::Chosen) {
        return;
    }
    const bool black = variant == FrameVariant::BlackFallback && frame == Outcome::SecondLikeWindow;
    systemColors.highlight = black ? BLACK : FALLBACK_HIGHLIGHT;
    systemColors.highlightText = FALLBACK_HIGHLIGHT_TEXT;
}
