#include "standin/session.h"

#include "colors/system_color_set.h"
#include "plugin/plugin.h"
#include "standin/host.h"
#include "stylefile/color_text.h"

namespace standin {

Session::~Session() {
    if (running_) {
        stop();
    }
    unloadPlugin(&plugin_);
    if (madeMainWindow_) {
        destroyMainWindow();
    }
}

bool Session::load(const std::string& stylePath, std::string* error, StyleProblems* problems) {
    return loadStyle(stylePath, error, problems) && load(error);
}

bool Session::load(std::string* error) {
    if (mainWindow() == nullptr || !IsWindow(mainWindow())) {
        madeMainWindow_ = createMainWindow(GetModuleHandleA(nullptr)) != nullptr;
        if (!madeMainWindow_) {
            if (error != nullptr) {
                *error = "cannot create the host's main window";
            }
            return false;
        }
    }
    return plugin_.instance != nullptr ||
           loadPlugin(std::string(PLUGIN_NAME) + ".dll", &plugin_, error);
}

int Session::start() {
    const int result = plugin_.begin(plugin_.instance);
    running_ = result == 0;
    return result;
}

int Session::change(const std::string& stylePath, std::string* error, StyleProblems* problems) {
    return loadStyle(stylePath, error, problems) ? change() : -1;
}

int Session::change() {
    return broadcastStyleChanged();
}

int Session::stop() {
    running_ = false;
    return plugin_.end(plugin_.instance);
}

Step Session::step() {
    if (!running_) {
        return {true, start()};
    }
    return {false, change()};
}

std::string windowColorLine(COLORREF windowColor) {
    return "window colour " + stylefile::colorText(windowColor);
}

void printWindowColor(std::FILE* out) {
    std::fprintf(out, "%s\n", windowColorLine(GetSysColor(COLOR_WINDOW)).c_str());
}

void printManagedColors(std::FILE* out, const std::string& style) {
    std::fprintf(out, "style %s\n", style.c_str());
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        std::fprintf(out, "%s %d %s\n", managedColorNames[i], managedColorIndices[i],
                     stylefile::colorText(GetSysColor(managedColorIndices[i])).c_str());
    }
}

int runStyles(const std::vector<std::string>& styles, std::FILE* out, std::FILE* err) {
    printWindowColor(out);
    Session session;
    std::string error;
    if (!session.load(&error)) {
        std::fprintf(err, "%s\n", error.c_str());
        return 2;
    }
    for (const std::string& style : styles) {
        if (!loadStyle(style, &error)) {
            std::fprintf(err, "%s\n", error.c_str());
            return 2;
        }
        const Step step = session.step();
        if (step.start && step.result != 0) {
            std::fprintf(err, "the plug-in failed to start\n");
            return 1;
        }
        printManagedColors(out, style);
    }
    if (session.stop() == 0) {
        std::fprintf(err, "the plug-in left its window class registered\n");
        return 1;
    }
    return 0;
}

} // namespace standin
