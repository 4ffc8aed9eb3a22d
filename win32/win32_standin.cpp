// The in-process Win32 stand-in: enough of windows, classes, messages and system colours for the
// plug-in and the stand-in host to run unchanged on Linux, with everything they do recorded.
#include "win32/win32_standin.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace win32_standin {
namespace {

struct State {
    std::array<COLORREF, SYSTEM_COLOR_COUNT> colors = defaultSystemColors();
    std::vector<WindowClass> classes;
    std::map<HWND, Window> windows;
    std::uintptr_t nextHandle = 0x10010;
    bool failRegister = false;
    bool failCreate = false;
    std::vector<std::string> calls;
    std::vector<SetSysColorsCall> setSysColors;
    std::vector<int> getSysColor;
    std::vector<MessageBoxCall> boxes;
    std::vector<SentMessage> sent;
    std::vector<SentMessage> defaulted;
};

State& state() {
    static State s;
    return s;
}

SystemColorObserver& observer() {
    static SystemColorObserver o;
    return o;
}

bool sameName(const std::string& a, const char* b) {
    const std::size_t n = std::char_traits<char>::length(b);
    return a.size() == n && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
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

void logCall(const std::string& name) {
    state().calls.push_back(name);
}
const std::vector<std::string>& callLog() {
    return state().calls;
}
void observeSystemColors(SystemColorObserver o) {
    observer() = std::move(o);
}

const std::vector<SetSysColorsCall>& setSysColorsCalls() {
    return state().setSysColors;
}
const std::vector<int>& getSysColorCalls() {
    return state().getSysColor;
}
const std::vector<MessageBoxCall>& messageBoxes() {
    return state().boxes;
}
const std::vector<SentMessage>& sentMessages() {
    return state().sent;
}
const std::vector<SentMessage>& defaultProcessed() {
    return state().defaulted;
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

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
    logCall("RegisterClassA");
    State& s = state();
    if (s.failRegister || wndClass == nullptr || wndClass->lpszClassName == nullptr ||
        classNamed(wndClass->lpszClassName, wndClass->hInstance) != s.classes.end()) {
        return 0;
    }
    WindowClass c{*wndClass, wndClass->lpszClassName};
    c.definition.lpszClassName = nullptr; // the caller's string need not outlive the call
    s.classes.push_back(c);
    return static_cast<ATOM>(0xC000 + s.classes.size());
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    logCall("UnregisterClassA");
    State& s = state();
    auto it = classNamed(className, instance);
    if (it == s.classes.end()) {
        return FALSE;
    }
    // Windows refuses while a window of the class still exists.
    for (const auto& entry : s.windows) {
        if (sameName(entry.second.className, className)) {
            return FALSE;
        }
    }
    s.classes.erase(it);
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    logCall("CreateWindowExA");
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
    logCall("DestroyWindow");
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
    logCall("ShowWindow");
    Window* w = liveWindow(window);
    if (w == nullptr) {
        return FALSE;
    }
    const BOOL wasVisible = w->visible;
    w->visible = command != SW_HIDE;
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
    logCall("SetWindowLongPtrA");
    Window* w = liveWindow(window);
    if (w == nullptr || index != GWLP_USERDATA) {
        return 0;
    }
    const LONG_PTR previous = w->userData;
    w->userData = value;
    return previous;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
    Window* w = liveWindow(window);
    return w != nullptr && index == GWLP_USERDATA ? w->userData : 0;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    logCall("DefWindowProcA");
    state().defaulted.push_back({window, message, wParam, lParam});
    return message == WM_NCCREATE ? TRUE : 0;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    logCall("SendMessageA");
    state().sent.push_back({window, message, wParam, lParam});
    Window* w = liveWindow(window);
    return w == nullptr ? 0 : w->procedure(window, message, wParam, lParam);
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    logCall("MessageBoxA");
    state().boxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    return IDOK;
}

DWORD WINAPI GetSysColor(int index) {
    logCall("GetSysColor");
    state().getSysColor.push_back(index);
    const COLORREF color = index >= 0 && index < SYSTEM_COLOR_COUNT ? state().colors[index] : 0;
    if (observer().colorRead) {
        observer().colorRead(index, color);
    }
    return color;
}

BOOL WINAPI SetSysColors(int count, const INT* indices, const COLORREF* values) {
    logCall("SetSysColors");
    const int n = count > 0 ? count : 0;
    SetSysColorsCall call{{indices, indices + n}, {values, values + n}};
    state().setSysColors.push_back(call);
    for (int i = 0; i < n; ++i) {
        if (indices[i] >= 0 && indices[i] < SYSTEM_COLOR_COUNT) {
            state().colors[indices[i]] = values[i];
        }
    }
    if (observer().colorsSet) {
        observer().colorsSet(call);
    }
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR) {
    return reinterpret_cast<HMODULE>(0x00400000);
}
}
