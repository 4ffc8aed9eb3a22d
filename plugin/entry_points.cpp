#include "plugin/plugin.h"

#include "colors/style_reading.h"
#include "colors/system_color_set.h"
#include "host/marlwood.h"

namespace {

constexpr UINT ERROR_BOX_FLAGS = MB_TOPMOST | MB_ICONERROR;
constexpr DWORD PLUGIN_WINDOW_STYLE = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

HWND hostWindow;
HWND pluginWindow;

// The messages the hidden window asks the host for; the host keeps the address until
// the subscription is withdrawn, so it lives in static storage.
const uint32_t subscribedMessages[] = {HOST_STYLECHANGED, 0};

LPARAM subscription() {
    return reinterpret_cast<LPARAM>(subscribedMessages);
}

} // namespace

extern "C" int __cdecl beginPlugin(HINSTANCE module) {
    hostWindow = GetMWWnd();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = pluginWndProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = PLUGIN_NAME;
    if (RegisterClassA(&windowClass) == 0) {
        MessageBoxA(hostWindow, "Error registering window class", PLUGIN_NAME, ERROR_BOX_FLAGS);
        return 1;
    }

    pluginWindow = CreateWindowExA(WS_EX_TOOLWINDOW, PLUGIN_NAME, nullptr, PLUGIN_WINDOW_STYLE, 0,
                                   0, 0, 0, nullptr, nullptr, module, nullptr);
    if (pluginWindow == nullptr) {
        MessageBoxA(nullptr, "Error creating window", PLUGIN_NAME, ERROR_BOX_FLAGS);
        // The host unloads a plug-in that failed; a class left behind would point into
        // unloaded code and make every later start in this host session fail.
        UnregisterClassA(PLUGIN_NAME, module);
        return 1;
    }

    SendMessageA(hostWindow, HOST_SUBSCRIBE, reinterpret_cast<WPARAM>(pluginWindow),
                 subscription());
    // On 32-bit Windows this is SetWindowLongA; the 64-bit user-data slot takes a pointer's width.
    SetWindowLongPtrA(pluginWindow, GWLP_USERDATA, PLUGIN_WINDOW_MARKER);
    ShowWindow(pluginWindow, SW_HIDE);

    readStyleColors();
    applySystemColors();
    return 0;
}

extern "C" int __cdecl endPlugin(HINSTANCE module) {
    SendMessageA(hostWindow, HOST_UNSUBSCRIBE, reinterpret_cast<WPARAM>(pluginWindow),
                 subscription());
    DestroyWindow(pluginWindow);
    return UnregisterClassA(PLUGIN_NAME, module);
}
