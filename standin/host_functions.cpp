// The five functions the plug-in imports from the host, answered from the current style
// (IsInString's export, whose result differs between the builds, is in is_in_string.cpp).
//
// On Windows they are exported by name from the executable that links this library
// (Marlwood.exe), through __declspec(dllexport) below, so Tintlet.dll's imports bind to them;
// the executable needs no .def file. The library is an object library so that these
// definitions always reach the executable, although nothing in it calls them.
#include "host/marlwood.h"

#include "standin/call_record.h"
#include "standin/host.h"
#include "stylefile/color_text.h"
#include "stylefile/style_file.h"

#include <optional>
#include <string>
#include <string_view>

#define HOST_EXPORT __declspec(dllexport)

using standin::copyOf;
using standin::number;

namespace {

// What ReadString last returned; valid until the next call.
std::string lastText;

// A lookup as the host answered it: the path, key and default it was given.
void recordLookup(const char* function, const char* path, const char* key, const char* fallback,
                  std::uintptr_t result, std::string resultText, const char* note) {
    if (standin::recordingCalls()) {
        standin::record({function,
                         {number(path), number(key), number(fallback)},
                         {copyOf(path), copyOf(key), copyOf(fallback)},
                         result,
                         std::move(resultText),
                         note,
                         {}});
    }
}

// The key's value in the style the path names.
std::optional<std::string_view> valueOf(const char* path, const char* key) {
    const stylefile::StyleFile* style = standin::styleAt(path);
    return key == nullptr || style == nullptr ? std::nullopt : style->find(key);
}

} // namespace

extern "C" {

HOST_EXPORT HWND __cdecl GetMWWnd(void) {
    HWND window = standin::mainWindow();
    if (standin::recordingCalls()) {
        standin::record({"GetMWWnd", {}, {}, number(window), "", "", {}});
    }
    return window;
}

HOST_EXPORT const char* __cdecl stylePath(const char* unused) {
    const char* path = standin::answers().nullPath ? nullptr : standin::currentStylePath().c_str();
    if (standin::recordingCalls()) {
        standin::record(
            {"stylePath", {number(unused)}, {copyOf(unused)}, number(path), copyOf(path), "", {}});
    }
    return path;
}

// Lookups answer from the style file the path argument names.
HOST_EXPORT const char* __cdecl ReadString(const char* path, const char* key,
                                           const char* defaultText) {
    const std::optional<std::string_view> value = valueOf(path, key);
    lastText = value ? std::string(*value) : copyOf(defaultText);
    const char* text = standin::answers().nullTexts ? nullptr : lastText.c_str();
    recordLookup("ReadString", path, key, defaultText, number(text), copyOf(text),
                 value ? "" : "default");
    return text;
}

HOST_EXPORT COLORREF __cdecl ReadColor(const char* path, const char* key,
                                       const char* defaultColor) {
    const std::optional<std::string_view> value = valueOf(path, key);
    COLORREF color = 0;
    const bool usable = value && stylefile::parseColor(*value, color);
    // Absent or not a colour: the default, and black should even that be no colour.
    if (!usable && (defaultColor == nullptr || !stylefile::parseColor(defaultColor, color))) {
        color = 0;
    }
    recordLookup("ReadColor", path, key, defaultColor, color, stylefile::colorText(color),
                 usable  ? ""
                 : value ? "default: value is not a colour"
                         : "default");
    return color;
}
}

// What IsInString answers; each build of the host exports it in is_in_string.cpp.
bool standin::textContains(const char* text, const char* fragment) {
    bool found = false;
    if (text != nullptr && fragment != nullptr) {
        // Styles write "ParentRelative" and "Solid"; the plug-in asks in lower case.
        found =
            stylefile::lowerCase(text).find(stylefile::lowerCase(fragment)) != std::string::npos;
    }
    if (standin::recordingCalls()) {
        standin::record({"IsInString",
                         {number(text), number(fragment)},
                         {copyOf(text), copyOf(fragment)},
                         found,
                         found ? "true" : "false",
                         "",
                         {}});
    }
    return found;
}
