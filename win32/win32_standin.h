// What tests and the stand-in host can see and steer of the in-process Win32 stand-in:
// the system colour table, window classes, windows, message boxes and an ordered call log.
#pragma once

#include "win32/system_color_count.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace win32_standin {

// Windows' standard colours, which the table holds after reset().
const std::array<COLORREF, SYSTEM_COLOR_COUNT>& defaultSystemColors();

struct SetSysColorsCall {
    std::vector<INT> indices;
    std::vector<COLORREF> values;
};

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Window {
    HWND handle;
    std::string className;
    std::string windowName;
    bool named; // created with a window name rather than a null pointer
    DWORD exStyle;
    DWORD style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID param;
    WNDPROC procedure;
    LONG_PTR userData;
    bool visible;
};

struct WindowClass {
    WNDCLASSA definition;
    std::string name;
};

// Back to a fresh session: standard colours, no classes or windows, empty logs, no failures.
void reset();

// Makes the next RegisterClassA / CreateWindowExA calls fail (until set back to false).
void failRegisterClass(bool fail);
void failCreateWindow(bool fail);

// Sets one entry of the colour table directly, as another program or the user would.
void setSystemColor(int index, COLORREF value);

// Appends a line to the call log; the stand-in logs each of its functions by name, and a
// fake or stand-in host can log its own functions into the same ordered record.
void logCall(const std::string& name);
const std::vector<std::string>& callLog();

// Told of each GetSysColor (the index and the colour it gave) and each SetSysColors call as it is
// made, for a host's trace; empty functions tell no one. reset() keeps the observer.
struct SystemColorObserver {
    std::function<void(int index, COLORREF color)> colorRead;
    std::function<void(const SetSysColorsCall& call)> colorsSet;
};
void observeSystemColors(SystemColorObserver observer);

const std::vector<SetSysColorsCall>& setSysColorsCalls();
const std::vector<int>& getSysColorCalls();
const std::vector<MessageBoxCall>& messageBoxes();
// Every message sent with SendMessageA, in order.
const std::vector<SentMessage>& sentMessages();
// Every message that reached DefWindowProcA, in order.
const std::vector<SentMessage>& defaultProcessed();

// The live windows and registered classes.
const Window* findWindow(HWND handle);
std::vector<Window> windows();
const WindowClass* findClass(const std::string& name);
std::vector<WindowClass> classes();

} // namespace win32_standin
