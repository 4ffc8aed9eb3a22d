#include "colors/menu_highlight.h"

#include "colors/style_access.h"

namespace {

// What the frame's colour is held against in the white-reference variant.
constexpr COLORREF WHITE = 0x00FFFFFF;

// How trying one element ended.
enum class Outcome {
    Chosen,           // the element gave the highlight
    SecondUndefined,  // passed over; it has no second colour
    SecondLikeWindow, // passed over; its second colour is the window colour too
};

// A highlight the colour of the window background would hide the selection, so an element
// whose colour equals the reference is passed over unless its second colour differs.
Outcome tryElement(const MenuElement& element, COLORREF reference, COLORREF windowColor) {
    const COLORREF highlight = fillColor(element.color);
    fillColor(element.textColor);
    if (highlight != reference) {
        return Outcome::Chosen;
    }
    if (!styleKeyDefined(element.colorToDefined)) {
        return Outcome::SecondUndefined;
    }
    if (readStyleColor(element.colorTo) == windowColor) {
        return Outcome::SecondLikeWindow;
    }
    fillColor(element.colorTo);
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

const MenuElement menuElements[3] = {
    {StyleLookup::HiliteColor, StyleLookup::HiliteTextColor, StyleLookup::HiliteColorToDefined,
     StyleLookup::HiliteColorTo},
    {StyleLookup::TitleColor, StyleLookup::TitleTextColor, StyleLookup::TitleColorToDefined,
     StyleLookup::TitleColorTo},
    {StyleLookup::FrameColor, StyleLookup::FrameTextColor, StyleLookup::FrameColorToDefined,
     StyleLookup::FrameColorTo},
};

void chooseMenuHighlight() {
    readStyleText(StyleLookup::MenuHilite);
    const bool startedAtHilite = !styleTextContains("parentrelative");
    const COLORREF windowColor = GetSysColor(COLOR_WINDOW);

    Outcome hilite = Outcome::SecondUndefined;
    if (startedAtHilite) {
        hilite = tryElement(menuElements[0], windowColor, windowColor);
        if (hilite == Outcome::Chosen) {
            return;
        }
    }
    const Outcome title = tryElement(menuElements[1], windowColor, windowColor);
    if (title == Outcome::Chosen) {
        return;
    }

    const FrameVariant variant = frameVariant(startedAtHilite, hilite, title);
    const COLORREF reference = variant == FrameVariant::WhiteReference ? WHITE : windowColor;
    const Outcome frame = tryElement(menuElements[2], reference, windowColor);
    if (frame == Outcome::Chosen) {
        return;
    }
    const bool black = variant == FrameVariant::BlackFallback && frame == Outcome::SecondLikeWindow;
    fillFixedColor(ManagedColor::highlight, black ? BLACK_FALLBACK_HIGHLIGHT : FALLBACK_HIGHLIGHT);
    fillFixedColor(ManagedColor::highlightText, FALLBACK_HIGHLIGHT_TEXT);
}
