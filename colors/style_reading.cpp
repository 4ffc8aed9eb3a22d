#include "colors/style_reading.h"

#include "colors/menu_highlight.h"
#include "colors/system_color_set.h"
#include "host/marlwood.h"

char stylePathBuffer[STYLE_PATH_BUFFER_SIZE];
char styleTextBuffer[STYLE_TEXT_BUFFER_SIZE];

namespace {

// Copies text into a buffer of size bytes, terminator included, never writing past it.
// Returns false when the text does not fit; the buffer then holds as much as fits.
bool copyBounded(char* buffer, int size, const char* text) {
    int i = 0;
    for (; i < size - 1 && text[i] != '\0'; ++i) {
        buffer[i] = text[i];
    }
    buffer[i] = '\0';
    return text[i] == '\0';
}

// The host's own path never exceeds the buffer; a longer or missing one would name some other
// file if cut short, so it becomes the empty path and every lookup yields its default.
void copyStylePath() {
    const char* path = stylePath(nullptr);
    if (path == nullptr || !copyBounded(stylePathBuffer, STYLE_PATH_BUFFER_SIZE, path)) {
        stylePathBuffer[0] = '\0';
    }
}

struct CaptionKeys {
    const char* labelTexture;
    const char* titleTexture;
    const char* titleColor;
    const char* titleColorTo;
    const char* labelColor;
    const char* labelColorTo;
    const char* labelDefaultColor;
    const char* labelDefaultColorTo;
    const char* labelTextColor;
    const char* labelDefaultTextColor;
};

const CaptionKeys focusCaption = {
    "window.label.focus:",
    "window.title.focus:",
    "window.title.focus.color:",
    "window.title.focus.colorTo:",
    "window.label.focus.color:",
    "window.label.focus.colorTo:",
    "#0a246a",
    "#a6caf0",
    "window.label.focus.textColor:",
    "#ffffff",
};

const CaptionKeys unfocusCaption = {
    "window.label.unfocus:",
    "window.title.unfocus:",
    "window.title.unfocus.color:",
    "window.title.unfocus.colorTo:",
    "window.label.unfocus.color:",
    "window.label.unfocus.colorTo:",
    "#808080",
    "#c0c0c0",
    "window.label.unfocus.textColor:",
    "#d4d0c8",
};

void readCaption(const CaptionKeys& keys, COLORREF& caption, COLORREF& gradient, COLORREF& text) {
    // A parent-relative label shows the title behind it, so the title gives the colours.
    readStyleText(keys.labelTexture, "parentrelative");
    const char* colorKey = keys.labelColor;
    const char* colorToKey = keys.labelColorTo;
    const char* defaultColor = keys.labelDefaultColor;
    const char* defaultColorTo = keys.labelDefaultColorTo;
    if (styleTextContains("parentrelative")) {
        readStyleText(keys.titleTexture, "flat gradient vertical");
        colorKey = keys.titleColor;
        colorToKey = keys.titleColorTo;
        defaultColor = "#0a246a";
        defaultColorTo = "#a6caf0";
    }
    // A solid texture has one colour; its second colour is not looked up.
    const bool solid = styleTextContains("solid");
    caption = readStyleColor(colorKey, defaultColor);
    gradient = solid ? caption : readStyleColor(colorToKey, defaultColorTo);
    text = readStyleColor(keys.labelTextColor, keys.labelDefaultTextColor);
}

void readTooltipColors() {
    readStyleText("menu.title:", "parentrelative");
    if (styleTextContains("parentrelative")) {
        systemColors.infoBackground = readStyleColor("menu.frame.color:", "#ffffe1");
        systemColors.infoText = readStyleColor("menu.frame.textColor:", "#000000");
    } else {
        systemColors.infoBackground = readStyleColor("menu.title.color:", "#ffffe1");
        systemColors.infoText = readStyleColor("menu.title.textColor:", "#000000");
    }
}

} // namespace

void readStyleText(const char* key, const char* defaultText) {
    const char* text = ReadString(stylePathBuffer, key, defaultText);
    copyBounded(styleTextBuffer, STYLE_TEXT_BUFFER_SIZE, text != nullptr ? text : defaultText);
}

bool styleTextContains(const char* fragment) {
    return IsInString(styleTextBuffer, fragment) != 0;
}

COLORREF readStyleColor(const char* key, const char* defaultColor) {
    return ReadColor(stylePathBuffer, key, defaultColor);
}

void readStyleColors() {
    copyStylePath();
    readCaption(focusCaption, systemColors.activeCaption, systemColors.gradientActiveCaption,
                systemColors.captionText);
    readCaption(unfocusCaption, systemColors.inactiveCaption, systemColors.gradientInactiveCaption,
                systemColors.inactiveCaptionText);
    chooseMenuHighlight();
    readTooltipColors();
}
