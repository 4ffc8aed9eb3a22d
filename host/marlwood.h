// What Tintlet needs of its host, Marlwood: five exported functions (imported by name from
// Marlwood.exe, C linkage, C calling convention), the message protocol and the window marker.
#pragma once

#include <windows.h>
#include <stdint.h>

extern "C" {
// The host's main window.
HWND __cdecl GetMWWnd(void);
// The path of the current style file; called with a null pointer.
const char* __cdecl stylePath(const char* unused);
// A key's text value, or a text containing defaultText when the style has no such key.
const char* __cdecl ReadString(const char* path, const char* key, const char* defaultText);
// A key's colour, or the colour of defaultColor ("#rrggbb") when the key is absent.
COLORREF __cdecl ReadColor(const char* path, const char* key, const char* defaultColor);
// A truth byte, nonzero when fragment occurs within text. Hosts answer any nonzero value for
// found, and what lies above the byte in the return register is not part of the answer.
unsigned char __cdecl IsInString(const char* text, const char* fragment);
}

// Messages exchanged with the host's main window.
constexpr UINT HOST_SUBSCRIBE = 10001;    // WPARAM: window, LPARAM: zero-terminated message array
constexpr UINT HOST_UNSUBSCRIBE = 10002;  // the same window and array
constexpr UINT HOST_STYLECHANGED = 10103; // sent by the host to every subscribed window

// Stored in the plug-in window's user-data slot so the host can tell it apart.
constexpr LONG PLUGIN_WINDOW_MARKER = 0x49474541;
