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

using standin::Call;
using standin::copyOf;
using standin::number;

namespace {

// What ReadString last returned; valid until the next call.
std::string lastText;

// The line of the key's value in the style the path names; how the host answers is noted in from.
std::optional<stylefile::StyleLine> lineOf(const char* path, const char* key, Call::From* from) {
    const stylefile::StyleFile* style = standin::styleAt(path);
    const auto line = key == nullptr || style == nullptr ? std::nullopt : style->lineOf(key);
    *from = style == nullptr ? Call::From::NoStyle : line ? Call::From::Line : Call::From::Absent;
    return line;
}

// A lookup as the host answered it: the path, key and default it was given.
void recordLookup(const char* function, const char* path, const char* key, const char* fallback,
                  std::uintptr_t result, std::string resultText, Call::From from,
                  const std::optional<stylefile::StyleLine>& line) {
    if (standin::recordingCalls()) {
        standin::record({function,
                         {number(path), number(key), number(fallback)},
                         {copyOf(path), copyOf(key), copyOf(fallback)},
                         result,
                         std::move(resultText),
                         {},
                         from,
                         line ? line->line : 0});
    }
}

} // namespace

extern "C" {

HOST_EXPORT HWND __cdecl GetMWWnd(void) {
    HWND window = standin::mainWindow();
    if (standin::recordingCalls()) {
        standin::record({"GetMWWnd", {}, {}, number(window), "", {}});
    }
    return window;
}

HOST_EXPORT const char* __cdecl stylePath(const char* unused) {
    const char* path = standin::answers().nullPath ? nullptr : standin::currentStylePath().c_str();
    if (standin::recordingCalls()) {
        standin::record(
            {"stylePath", {number(unused)}, {copyOf(unused)}, number(path), copyOf(path), {}});
    }
    return path;
}

// Lookups answer from the style file the path argument names.
HOST_EXPORT const char* __cdecl ReadString(const char* path, const char* key,
                                           const char* defaultText) {
    Call::From from;
    const std::optional<stylefile::StyleLine> line = lineOf(path, key, &from);
    lastText = line ? std::string(line->value) : copyOf(defaultText);
    const char* text = standin::answers().nullTexts ? nullptr : lastText.c_str();
    recordLookup("ReadString", path, key, defaultText, number(text), copyOf(text), from, line);
    return text;
}

HOST_EXPORT COLORREF __cdecl ReadColor(const char* path, const char* key,
                                       const char* defaultColor) {
    Call::From from;
    const std::optional<stylefile::StyleLine> line = lineOf(path, key, &from);
    COLORREF color = 0;
    from = line && !stylefile::parseColor(line->value, color) ? Call::From::NotColor : from;
    // Absent or not a colour: the default, and black should even that be no colour.
    if (from != Call::From::Line &&
        (defaultColor == nullptr || !stylefile::parseColor(defaultColor, color))) {
        color = 0;
    }
    recordLookup("ReadColor", path, key, defaultColor, color, stylefile::colorText(color), from,
                 line);
    return color;
}
}

// What IsInString answers; each build of the host exports it in is_in_string.cpp.
bool standin::textContains(const char* text, const char* fragment) {
    // Styles write "ParentRelative" and "Solid"; the plug-in asks in lower case.
    const bool found =
        text != nullptr && fragment != nullptr &&
        stylefile::lowerCase(text).find(stylefile::lowerCase(fragment)) != std::string::npos;
    if (standin::recordingCalls()) {
        standin::record({"IsInString",
                         {number(text), number(fragment)},
                         {copyOf(text), copyOf(fragment)},
                         found,
                         found ? "true" : "false",
                         {}});
    }
    return found;
}
