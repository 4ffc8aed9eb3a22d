#include "colors/style_access.h"

#include "colors/system_color_set.h"
#include "host/marlwood.h"

char stylePathBuffer[STYLE_PATH_BUFFER_SIZE];
char styleTextBuffer[STYLE_TEXT_BUFFER_SIZE];
StyleLookup colorSources[MANAGED_COLOR_COUNT];

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

void fill(ManagedColor field, COLORREF color, StyleLookup source) {
    managedColor(field) = color;
    colorSources[static_cast<int>(field)] = source;
}

} // namespace

// The host's own path never exceeds the buffer; a longer or missing one would name some other
// file if cut short, so it becomes the empty path and every lookup yields its default.
void copyStylePath() {
    const char* path = stylePath(nullptr);
    if (path == nullptr || !copyBounded(stylePathBuffer, STYLE_PATH_BUFFER_SIZE, path)) {
        stylePathBuffer[0] = '\0';
    }
}

void readStyleText(StyleLookup lookup) {
    const StyleLookupEntry& entry = entryOf(lookup);
    const char* text = ReadString(stylePathBuffer, entry.key, entry.defaultValue);
    copyBounded(styleTextBuffer, STYLE_TEXT_BUFFER_SIZE,
                text != nullptr ? text : entry.defaultValue);
}

bool styleTextContains(const char* fragment) {
    return IsInString(styleTextBuffer, fragment) != 0;
}

COLORREF readStyleColor(StyleLookup lookup) {
    const StyleLookupEntry& entry = entryOf(lookup);
    return ReadColor(stylePathBuffer, entry.key, entry.defaultValue);
}

bool styleKeyDefined(StyleLookup presence) {
    readStyleText(presence);
    return !styleTextContains(ABSENT_TEXT);
}

COLORREF fillColor(StyleLookup lookup) {
    const COLORREF color = readStyleColor(lookup);
    fill(entryOf(lookup).field, color, lookup);
    return color;
}

void fillLike(StyleLookup lookup, StyleLookup source) {
    const ManagedColor from = entryOf(source).field;
    fill(entryOf(lookup).field, managedColor(from), colorSources[static_cast<int>(from)]);
}

void fillFixedColor(ManagedColor field, COLORREF color) {
    fill(field, color, StyleLookup::FixedColor);
}
