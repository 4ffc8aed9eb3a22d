#include "plugin/plugin.h"

#include "colors/style_reading.h"
#include "colors/system_color_set.h"
#include "host/marlwood.h"

LRESULT CALLBACK pluginWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == HOST_STYLECHANGED) {
        readStyleColors();
        applySystemColors();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
