#include "tests/fake_host.h"

#include "host/marlwood.h"
#include "stylefile/color_text.h"
#include "win32/win32_standin.h"

#include <cstdint>
#include <cstring>

namespace fake_host {
namespace {

struct State {
    Style style;
    std::optional<std::string> path = std::string("/styles/test.style");
    bool nullTexts = false;
    unsigned char foundByte = 1;
    uint64_t truthAnswers = 0; // IsInString calls so far, to vary the noise
    HWND hostWindow = reinterpret_cast<HWND>(0x2000);
    std::vector<Call> calls;
    std::string lastText; // what ReadString returned; overwritten by the next call
};

State& state() {
    static State s;
    return s;
}

} // namespace

namespace {

const std::string* lookup(const char* key) {
    auto it = state().style.find(key);
    return it == state().style.end() ? nullptr : &it->second;
}

} // namespace

std::string Call::describe() const {
    if (function == "IsInString") {
        return "IsInString(" + text + ", " + argument + ") = " + result;
    }
    return function + "(" + text + ", " + argument + ") = " + result;
}

void reset() {
    state() = State();
}
void setStyle(const Style& style) {
    state().style = style;
}
void setStylePath(std::optional<std::string> path) {
    state().path = std::move(path);
}
void setNullTexts(bool nullTexts) {
    state().nullTexts = nullTexts;
}
void setFoundByte(unsigned char byte) {
    state().foundByte = byte;
}
void setHostWindow(HWND window) {
    state().hostWindow = window;
}
const std::vector<Call>& calls() {
    return state().calls;
}

std::vector<std::string> lookups() {
    std::vector<std::string> out;
    for (const Call& call : state().calls) {
        if (call.function != "stylePath" && call.function != "GetMWWnd") {
            out.push_back(call.describe());
        }
    }
    return out;
}

COLORREF colorOf(const std::string& text) {
    COLORREF color = 0;
    stylefile::parseColor(text, color);
    return color;
}

} // namespace fake_host

using fake_host::Call;
using fake_host::state;

extern "C" {

HWND __cdecl GetMWWnd(void) {
    win32_standin::logCall("GetMWWnd");
    state().calls.push_back(Call{"GetMWWnd", nullptr, nullptr, "", "", "", ""});
    return state().hostWindow;
}

const char* __cdecl stylePath(const char* unused) {
    win32_standin::logCall("stylePath");
    state().calls.push_back(
        Call{"stylePath", unused, nullptr, "", "", "", state().path ? *state().path : "(null)"});
    return state().path ? state().path->c_str() : nullptr;
}

const char* __cdecl ReadString(const char* path, const char* key, const char* defaultText) {
    win32_standin::logCall("ReadString");
    const std::string* value = fake_host::lookup(key);
    state().lastText = value ? *value : defaultText;
    const char* result = state().nullTexts ? nullptr : state().lastText.c_str();
    state().calls.push_back(Call{"ReadString", path, nullptr, path, key, defaultText,
                                 result ? state().lastText : "(null)"});
    return result;
}

COLORREF __cdecl ReadColor(const char* path, const char* key, const char* defaultColor) {
    win32_standin::logCall("ReadColor");
    const std::string* value = fake_host::lookup(key);
    COLORREF color = 0;
    if (value == nullptr || !stylefile::parseColor(*value, color)) {
        stylefile::parseColor(defaultColor, color);
    }
    state().calls.push_back(
        Call{"ReadColor", path, nullptr, path, key, defaultColor, stylefile::colorText(color)});
    return color;
}

// The whole return register of IsInString: the truth byte at the bottom, noise above it that
// differs from call to call and is never zero.
uint64_t fakeHostIsInString(const char* text, const char* fragment) {
    win32_standin::logCall("IsInString");
    const bool found = std::strstr(text, fragment) != nullptr;
    state().calls.push_back(
        Call{"IsInString", nullptr, text, "", text, fragment, found ? "1" : "0"});
    const uint64_t noise = (++state().truthAnswers * 0x9E3779B97F4A7C15u) & ~uint64_t{0xFF};
    return (noise != 0 ? noise : 0xA5A5A5A5A5A5A500u) | (found ? state().foundByte : 0);
}
}

#if defined(__x86_64__) && defined(__ELF__)
// IsInString hands the plug-in fakeHostIsInString's whole register. Written in assembly, so no
// C++ code ever calls a function through a type it was not defined with.
asm(R"(
    .text
    .globl IsInString
    .type IsInString, @function
IsInString:
    jmp fakeHostIsInString@PLT
    .size IsInString, .-IsInString
)");
#else
extern "C" unsigned char __cdecl IsInString(const char* text, const char* fragment) {
    return static_cast<unsigned char>(fakeHostIsInString(text, fragment));
}
#endif
