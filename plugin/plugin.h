// The plug-in's entry points, called by the host, and its hidden window's procedure.
#pragma once

#include <windows.h>

extern "C" {
// Starts the plug-in: 0 when it is running, 1 when it failed to start.
int __cdecl beginPlugin(HINSTANCE module);
// Stops it; the result is UnregisterClassA's, nonzero when the window class was removed.
int __cdecl endPlugin(HINSTANCE module);
}

// Receives the host's style-change message and re-applies the colours.
LRESULT CALLBACK pluginWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window class name and the caption of the error boxes.
constexpr char PLUGIN_NAME[] = "Tintlet";
