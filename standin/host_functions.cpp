// The five functions the plug-in imports from the host, answered from the current style
// (IsInString's export, whose result differs between the builds, is in is_in_string.cpp).
//
// On Windows they are exported by name from the executable that links this library
// (Marlwood.exe), through __declspec(dllexport) below, so Tintlet.dll's imports bind to them;
// the executable needs no .def file. The library is an object library so that these
// definitions always reach the executable, although nothing in it calls them.
#include "host/marlwood.h"

#include "standin/host.h"
#include "stylefile/color_text.h"
#include "stylefile/style_file.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#define HOST_EXPORT __declspec(dllexport)

namespace {

// What ReadString last returned; valid until the next call.
std::string lastText;

std::string quoted(const char* text) {
    if (text == nullptr) {
        return "(null)";
    }
    std::string out = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || *c == '"' || *c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else {
            out += *c;
        }
    }
    return out + "\"";
}

std::string handleText(const void* handle) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(handle)));
    return text;
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
    if (standin::tracing()) {
        standin::traceCall("GetMWWnd() -> " + handleText(window));
    }
    return window;
}

HOST_EXPORT const char* __cdecl stylePath(const char* unused) {
    const char* path = standin::currentStylePath().c_str();
    if (standin::tracing()) {
        standin::traceCall("stylePath(" + std::string(unused ? quoted(unused) : "null") + ") -> " +
                           quoted(path));
    }
    return path;
}

// Lookups answer from the style file the path argument names.
HOST_EXPORT const char* __cdecl ReadString(const char* path, const char* key,
                                           const char* defaultText) {
    const std::optional<std::string_view> value = valueOf(path, key);
    lastText = value ? std::string(*value) : (defaultText != nullptr ? defaultText : "");
    if (standin::tracing()) {
        standin::traceCall("ReadString(" + quoted(path) + ", " + quoted(key) + ", " +
                           quoted(defaultText) + ") -> " + quoted(lastText.c_str()) +
                           (value ? "" : " (default)"));
    }
    if (standin::recordingLookups()) {
        standin::recordLookup({path ? path : "", key ? key : "",
                               defaultText ? defaultText : "(null)", false, value.has_value(),
                               value.has_value(), 0});
    }
    return lastText.c_str();
}

HOST_EXPORT COLORREF __cdecl ReadColor(const char* path, const char* key,
                                       const char* defaultColor) {
    const std::optional<std::string_view> value = valueOf(path, key);
    COLORREF color = 0;
    const char* source = "";
    const bool usable = value && stylefile::parseColor(*value, color);
    if (!usable) {
        // Absent or not a colour: the default, and black should even that be no colour.
        source = value ? " (default: value is not a colour)" : " (default)";
        if (defaultColor == nullptr || !stylefile::parseColor(defaultColor, color)) {
            color = 0;
        }
    }
    if (standin::tracing()) {
        standin::traceCall("ReadColor(" + quoted(path) + ", " + quoted(key) + ", " +
                           quoted(defaultColor) + ") -> " + stylefile::colorText(color) + source);
    }
    if (standin::recordingLookups()) {
        standin::recordLookup({path ? path : "", key ? key : "",
                               defaultColor ? defaultColor : "(null)", true, value.has_value(),
                               usable, color});
    }
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
    if (standin::tracing()) {
        standin::traceCall("IsInString(" + quoted(text) + ", " + quoted(fragment) + ") -> " +
                           (found ? "true" : "false"));
    }
    return found;
}
