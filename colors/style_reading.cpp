#include "colors/style_reading.h"

#include "colors/menu_highlight.h"
#include "colors/style_access.h"

namespace {

struct CaptionLookups {
    StyleLookup labelTexture;
    StyleLookup titleTexture;
    StyleLookup titleColor;
    StyleLookup titleColorTo;
    StyleLookup labelColor;
    StyleLookup labelColorTo;
    StyleLookup labelTextColor;
};

const CaptionLookups focusCaption = {
    StyleLookup::FocusLabel,          StyleLookup::FocusTitle,      StyleLookup::FocusTitleColor,
    StyleLookup::FocusTitleColorTo,   StyleLookup::FocusLabelColor, StyleLookup::FocusLabelColorTo,
    StyleLookup::FocusLabelTextColor,
};

const CaptionLookups unfocusCaption = {
    StyleLookup::UnfocusLabel,          StyleLookup::UnfocusTitle,
    StyleLookup::UnfocusTitleColor,     StyleLookup::UnfocusTitleColorTo,
    StyleLookup::UnfocusLabelColor,     StyleLookup::UnfocusLabelColorTo,
    StyleLookup::UnfocusLabelTextColor,
};

void readCaption(const CaptionLookups& caption) {
    // A parent-relative label shows the title behind it, so the title gives the colours.
    readStyleText(caption.labelTexture);
    StyleLookup color = caption.labelColor;
    StyleLookup colorTo = caption.labelColorTo;
    if (styleTextContains("parentrelative")) {
        readStyleText(caption.titleTexture);
        color = caption.titleColor;
        colorTo = caption.titleColorTo;
    }
    // A solid texture has one colour; its second colour is not looked up.
    const bool solid = styleTextContains("solid");
    fillColor(color);
    if (solid) {
        fillLike(colorTo, color);
    } else {
        fillColor(colorTo);
    }
    fillColor(caption.labelTextColor);
}

void readTooltipColors() {
    readStyleText(StyleLookup::MenuTitle);
    if (styleTextContains("parentrelative")) {
        fillColor(StyleLookup::TooltipFrameColor);
        fillColor(StyleLookup::TooltipFrameTextColor);
    } else {
        fillColor(StyleLookup::TooltipTitleColor);
        fillColor(StyleLookup::TooltipTitleTextColor);
    }
}

} // namespace

void readStyleColors() {
    copyStylePath();
    readCaption(focusCaption);
    readCaption(unfocusCaption);
    chooseMenuHighlight();
    readTooltipColors();
}
