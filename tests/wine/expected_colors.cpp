// The colours the same plug-in gives natively, on the Win32 stand-in, for a run of styles: start
// with the first, one style change per further style. Marlwood.exe under Wine must agree.
//
//   tintlet-expected-colors [--window #rrggbb] STYLE...
//
// --window sets the window colour the highlight is chosen against, so both sides start alike.
// Prints "style NAME" and the ten managed colours as "NAME INDEX #rrggbb", as Marlwood.exe does.
#include "colors/system_color_set.h"
#include "standin/host.h"
#include "standin/plugin_module.h"
#include "stylefile/color_text.h"
#include "win32_standin.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void printColors(const std::string& style) {
    std::printf("style %s\n", style.c_str());
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        std::printf("%s %d %s\n", managedColorNames[i], managedColorIndices[i],
                    stylefile::colorText(GetSysColor(managedColorIndices[i])).c_str());
    }
}

bool load(const std::string& style) {
    std::string error;
    if (!standin::loadStyle(style, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> styles(argv + 1, argv + argc);
    if (styles.size() >= 2 && styles[0] == "--window") {
        COLORREF window = 0;
        if (!stylefile::parseColor(styles[1], window)) {
            std::fprintf(stderr, "not a colour: %s\n", styles[1].c_str());
            return 2;
        }
        win32_standin::setSystemColor(COLOR_WINDOW, window);
        styles.erase(styles.begin(), styles.begin() + 2);
    }
    if (styles.empty()) {
        std::fprintf(stderr, "usage: tintlet-expected-colors [--window #rrggbb] STYLE...\n");
        return 2;
    }

    standin::PluginModule plugin;
    std::string error;
    if (standin::createMainWindow(GetModuleHandleA(nullptr)) == nullptr || !load(styles[0]) ||
        !standin::loadPlugin("", &plugin, &error)) {
        std::fprintf(stderr, "cannot start the host %s\n", error.c_str());
        return 2;
    }
    if (plugin.begin(plugin.instance) != 0) {
        std::fprintf(stderr, "beginPlugin failed\n");
        return 1;
    }
    printColors(styles[0]);
    for (std::size_t i = 1; i < styles.size(); ++i) {
        if (!load(styles[i])) {
            return 2;
        }
        standin::broadcastStyleChanged();
        printColors(styles[i]);
    }
    plugin.end(plugin.instance);
    standin::unloadPlugin(&plugin);
    standin::destroyMainWindow();
    return 0;
}
