// What tests can see and steer of the in-process Win32 stand-in: the system colour table, window
// classes and windows. Every call to it goes to the record of calls (standin/call_record.h).
#pragma once

#include "win32/system_color_count.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace win32_standin {

// Windows' standard colours, which the table holds after reset().
const std::array<COLORREF, SYSTEM_COLOR_COUNT>& defaultSystemColors();

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

// Back to a fresh session: standard colours, no classes or windows, an empty record of calls, no
// failures.
void reset();

// Makes the next RegisterClassA / CreateWindowExA calls fail (until set back to false).
void failRegisterClass(bool fail);
void failCreateWindow(bool fail);

// Sets one entry of the colour table directly, as another program or the user would.
void setSystemColor(int index, COLORREF value);

// The live windows and registered classes.
const Window* findWindow(HWND handle);
std::vector<Window> windows();
const WindowClass* findClass(const std::string& name);
std::vector<WindowClass> classes();

} // namespace win32_standin
