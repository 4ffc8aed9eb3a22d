// The in-process Win32 stand-in: enough of windows, classes, messages and system colours for the
// plug-in and the stand-in host to run unchanged on Linux, with everything they do recorded.
#include "win32/win32_standin.h"

#include "standin/call_record.h"

#include <algorithm>
#include <map>
#include <strings.h>

namespace win32_standin {
namespace {

struct State {
    std::array<COLORREF, SYSTEM_COLOR_COUNT> colors = defaultSystemColors();
    std::vector<WindowClass> classes;
    std::map<HWND, Window> windows;
    std::uintptr_t nextHandle = 0x10010;
    bool failRegister = false;
    bool failCreate = false;
};

State& state() {
    static State s;
    return s;
}

void record(const char* function, std::vector<std::uintptr_t> arguments, std::uintptr_t result = 0,
            std::vector<std::string> texts = {},
            std::vector<std::pair<int, std::uint32_t>> colors = {}) {
    if (standin::recordingCalls()) {
        standin::record(
            {function, std::move(arguments), std::move(texts), result, "", std::move(colors)});
    }
}

// Class names match without regard to case.
bool sameName(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

std::vector<WindowClass>::iterator classNamed(const char* name, HINSTANCE instance) {
    auto& classes = state().classes;
    return std::find_if(classes.begin(), classes.end(), [&](const WindowClass& c) {
        return sameName(c.name, name) && c.definition.hInstance == instance;
    });
}

Window* liveWindow(HWND handle) {
    auto it = state().windows.find(handle);
    return it == state().windows.end() ? nullptr : &it->second;
}

} // namespace

const std::array<COLORREF, SYSTEM_COLOR_COUNT>& defaultSystemColors() {
    static const std::array<COLORREF, SYSTEM_COLOR_COUNT> colors = {
        RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
        RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
        RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
        RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
        RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
        RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
        RGB(215, 228, 242), RGB(51, 153, 255),  RGB(240, 240, 240),
    };
    return colors;
}

void reset() {
    state() = State();
    standin::takeCalls();
}
void failRegisterClass(bool fail) {
    state().failRegister = fail;
}
void failCreateWindow(bool fail) {
    state().failCreate = fail;
}

void setSystemColor(int index, COLORREF value) {
    state().colors.at(static_cast<std::size_t>(index)) = value;
}

const Window* findWindow(HWND handle) {
    return liveWindow(handle);
}

std::vector<Window> windows() {
    std::vector<Window> all;
    for (const auto& entry : state().windows) {
        all.push_back(entry.second);
    }
    return all;
}

const WindowClass* findClass(const std::string& name) {
    for (const auto& c : state().classes) {
        if (sameName(c.name, name.c_str())) {
            return &c;
        }
    }
    return nullptr;
}

std::vector<WindowClass> classes() {
    return state().classes;
}

} // namespace win32_standin

using namespace win32_standin;
using standin::copyOf;
using standin::number;

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
    State& s = state();
    ATOM atom = 0;
    if (!s.failRegister && wndClass != nullptr && wndClass->lpszClassName != nullptr &&
        classNamed(wndClass->lpszClassName, wndClass->hInstance) == s.classes.end()) {
        WindowClass c{*wndClass, wndClass->lpszClassName};
        c.definition.lpszClassName = nullptr; // the caller's string need not outlive the call
        s.classes.push_back(c);
        atom = static_cast<ATOM>(0xC000 + s.classes.size());
    }
    record("RegisterClassA", {number(wndClass)}, atom,
           {wndClass != nullptr ? copyOf(wndClass->lpszClassName) : ""});
    return atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    State& s = state();
    auto it = classNamed(className, instance);
    // Windows refuses while a window of the class still exists.
    const bool inUse = std::any_of(s.windows.begin(), s.windows.end(), [&](const auto& entry) {
        return sameName(entry.second.className, className);
    });
    const BOOL removed = it != s.classes.end() && !inUse;
    if (removed) {
        s.classes.erase(it);
    }
    record("UnregisterClassA", {number(className), number(instance)}, removed, {copyOf(className)});
    return removed;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    record("CreateWindowExA",
           {exStyle, number(className), number(windowName), style, static_cast<std::uintptr_t>(x),
            static_cast<std::uintptr_t>(y), static_cast<std::uintptr_t>(width),
            static_cast<std::uintptr_t>(height), number(parent), number(menu), number(instance),
            number(param)},
           0, {copyOf(className), copyOf(windowName)});
    State& s = state();
    const WindowClass* windowClass = className ? findClass(className) : nullptr;
    if (s.failCreate || windowClass == nullptr) {
        return nullptr;
    }
    HWND handle = reinterpret_cast<HWND>(s.nextHandle);
    s.nextHandle += 4;
    s.windows[handle] = Window{handle,
                               windowClass->name,
                               windowName ? windowName : "",
                               windowName != nullptr,
                               exStyle,
                               style,
                               x,
                               y,
                               width,
                               height,
                               parent,
                               menu,
                               instance,
                               param,
                               windowClass->definition.lpfnWndProc,
                               0,
                               (style & WS_VISIBLE) != 0};
    WNDPROC procedure = windowClass->definition.lpfnWndProc;
    if (procedure(handle, WM_NCCREATE, 0, 0) == 0 || procedure(handle, WM_CREATE, 0, 0) == -1) {
        s.windows.erase(handle);
        return nullptr;
    }
    return handle;
}

BOOL WINAPI DestroyWindow(HWND window) {
    record("DestroyWindow", {number(window)});
    Window* w = liveWindow(window);
    if (w == nullptr) {
        return FALSE;
    }
    WNDPROC procedure = w->procedure;
    procedure(window, WM_DESTROY, 0, 0);
    procedure(window, WM_NCDESTROY, 0, 0);
    state().windows.erase(window);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    Window* w = liveWindow(window);
    const BOOL wasVisible = w != nullptr && w->visible;
    if (w != nullptr) {
        w->visible = command != SW_HIDE;
    }
    record("ShowWindow", {number(window), static_cast<std::uintptr_t>(command)}, wasVisible);
    return wasVisible;
}

BOOL WINAPI IsWindow(HWND window) {
    return liveWindow(window) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    Window* w = liveWindow(window);
    return w != nullptr && w->visible;
}

HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName) {
    for (const auto& entry : state().windows) {
        const Window& w = entry.second;
        if ((className == nullptr || sameName(w.className, className)) &&
            (windowName == nullptr || w.windowName == windowName)) {
            return w.handle;
        }
    }
    return nullptr;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    Window* w = liveWindow(window);
    LONG_PTR previous = 0;
    if (w != nullptr && index == GWLP_USERDATA) {
        previous = w->userData;
        w->userData = value;
    }
    record("SetWindowLongPtrA",
           {number(window), static_cast<std::uintptr_t>(index), static_cast<std::uintptr_t>(value)},
           static_cast<std::uintptr_t>(previous));
    return previous;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
    Window* w = liveWindow(window);
    return w != nullptr && index == GWLP_USERDATA ? w->userData : 0;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = message == WM_NCCREATE ? TRUE : 0;
    record("DefWindowProcA", {number(window), message, wParam, static_cast<std::uintptr_t>(lParam)},
           static_cast<std::uintptr_t>(result));
    return result;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Before what the receiving procedure does, which the record holds after it.
    record("SendMessageA", {number(window), message, wParam, static_cast<std::uintptr_t>(lParam)});
    Window* w = liveWindow(window);
    return w == nullptr ? 0 : w->procedure(window, message, wParam, lParam);
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    record("MessageBoxA", {number(owner), number(text), number(caption), type}, IDOK,
           {copyOf(text), copyOf(caption)});
    return IDOK;
}

DWORD WINAPI GetSysColor(int index) {
    const COLORREF color = index >= 0 && index < SYSTEM_COLOR_COUNT ? state().colors[index] : 0;
    record("GetSysColor", {static_cast<std::uintptr_t>(index)}, color);
    return color;
}

BOOL WINAPI SetSysColors(int count, const INT* indices, const COLORREF* values) {
    std::vector<std::pair<int, std::uint32_t>> pairs;
    for (int i = 0; i < count; ++i) {
        pairs.emplace_back(indices[i], values[i]);
        if (indices[i] >= 0 && indices[i] < SYSTEM_COLOR_COUNT) {
            state().colors[indices[i]] = values[i];
        }
    }
    record("SetSysColors", {static_cast<std::uintptr_t>(count), number(indices), number(values)},
           TRUE, {}, std::move(pairs));
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR) {
    return reinterpret_cast<HMODULE>(0x00400000);
}
}
