// The checking host: the stand-in host of Marlwood.exe with checks of what Windows holds while it
// runs the real Tintlet.dll under Wine. The DLL imports its host functions from "Marlwood.exe",
// so this program bears that name too, in a folder of its own.
//
//   Marlwood.exe check STYLE...                start with the first style, change to each further
//                                              style, stop; checking each step
//   Marlwood.exe taken-class STYLE             a class "Tintlet" already registered for the module
//   Marlwood.exe creation-refused STYLE        Windows refusing to create the plug-in's window
//   Marlwood.exe soak CYCLES CHANGES STYLE...  CYCLES starts and stops, then CHANGES style changes
//                                              in one start, alternating between the styles
//
// Standard output has what Marlwood.exe prints for the same styles: the window colour and, the
// first time the plug-in applies each style, "style NAME" and the ten colours. The checks report
// on standard error; a failed one prints a line starting with "FAIL:" and makes the exit code 1;
// a usage or loading error gives 2.
#include "colors/system_color_set.h"
#include "host/marlwood.h"
#include "plugin/plugin.h"
#include "standin/host.h"
#include "standin/session.h"
#include "stylefile/color_text.h"
#include "win32/system_color_count.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using TenColors = std::array<COLORREF, MANAGED_COLOR_COUNT>;
using AllColors = std::array<COLORREF, SYSTEM_COLOR_COUNT>;

// "class Tintlet", for the reports.
const std::string PLUGIN_CLASS = std::string("class ") + PLUGIN_NAME;

int failures = 0;

void say(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
}

// For checks that may fail thousands of times: every failure counts, the first few are printed.
void fail(const std::string& what, int* count = nullptr) {
    if (count == nullptr || ++*count <= 5) {
        say("FAIL: " + what);
    }
    ++failures;
}

void expect(bool condition, const std::string& what) {
    if (!condition) {
        fail(what);
    }
}

TenColors managedNow() {
    TenColors colors{};
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        colors[i] = GetSysColor(managedColorIndices[i]);
    }
    return colors;
}

AllColors allNow() {
    AllColors colors{};
    for (int i = 0; i < SYSTEM_COLOR_COUNT; ++i) {
        colors[i] = GetSysColor(i);
    }
    return colors;
}

// Wine keeps applied colours for as long as its server runs, so every pass starts from values
// no bundled style uses: a pass that applied nothing cannot pass for one that applied the same.
TenColors notAppliedColors() {
    TenColors colors{};
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        colors[i] = RGB(1, 2, 3 + i);
    }
    return colors;
}

void resetManagedColors() {
    SetSysColors(MANAGED_COLOR_COUNT, managedColorIndices, notAppliedColors().data());
}

void checkOthersUnchanged(const AllColors& before) {
    const AllColors now = allNow();
    for (int i = 0; i < SYSTEM_COLOR_COUNT; ++i) {
        const bool managed =
            std::find(std::begin(managedColorIndices), std::end(managedColorIndices), i) !=
            std::end(managedColorIndices);
        expect(managed || now[i] == before[i],
               "system colour " + std::to_string(i) + " changed from " +
                   stylefile::colorText(before[i]) + " to " + stylefile::colorText(now[i]));
    }
}

bool classRegistered(HINSTANCE instance) {
    WNDCLASSA definition{};
    return GetClassInfoA(instance, PLUGIN_NAME, &definition) != 0;
}

HWND pluginWindow() {
    return FindWindowA(PLUGIN_NAME, nullptr);
}

bool loadOrSay(standin::Session& session, const std::string& style) {
    std::string error;
    if (!session.load(style, &error)) {
        say(error);
        return false;
    }
    return true;
}

// The plug-in's error boxes are modal: the thread that called beginPlugin stays inside one until
// it is closed. A CBT hook on that thread sees each box as it is activated, notes its text and
// owner and closes it, so no run hangs on one. The same hook can refuse to let the plug-in's
// window be created, as Windows may.
struct ErrorBox {
    std::string text;
    HWND owner;
};

HHOOK hook;
std::vector<ErrorBox> errorBoxes;
HWND lastBox; // a box is counted once, however often it is activated
bool refusePluginWindow = false;

bool hasClass(HWND window, const char* name) {
    char found[64] = {};
    return GetClassNameA(window, found, sizeof found) != 0 && std::strcmp(found, name) == 0;
}

LRESULT CALLBACK watchWindows(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && window != lastBox && hasClass(window, "#32770")) {
        char caption[64] = {};
        GetWindowTextA(window, caption, sizeof caption);
        if (std::strcmp(caption, PLUGIN_NAME) == 0) {
            char text[256] = {};
            GetDlgItemTextA(window, 0xFFFF, text, sizeof text); // the box's static text
            errorBoxes.push_back({text, GetWindow(window, GW_OWNER)});
            lastBox = window;
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    }
    if (code == HCBT_CREATEWND && refusePluginWindow) {
        // By the class name it is created with, or the class the new window already has.
        const char* name = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass;
        const bool named = !IS_INTRESOURCE(name) && std::strcmp(name, PLUGIN_NAME) == 0;
        if (named || hasClass(window, PLUGIN_NAME)) {
            return 1; // nonzero: the window is not created
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

// A run that should show no error box: any that came up is a failure.
void checkNoErrorBox() {
    int count = 0;
    for (const ErrorBox& box : errorBoxes) {
        fail("error box \"" + box.text + "\"", &count);
    }
}

// While the plug-in runs: its one hidden, marked window, its class, its subscription.
void checkRunning(const standin::Session& session) {
    const HWND window = pluginWindow();
    expect(window != nullptr, "no window of " + PLUGIN_CLASS + " while running");
    expect(classRegistered(session.module()), PLUGIN_CLASS + " not registered while running");
    expect(!IsWindowVisible(window), "the plug-in's window is visible");
    expect(GetWindowLongPtrA(window, GWLP_USERDATA) == PLUGIN_WINDOW_MARKER,
           "the plug-in's window lacks the marker");
    const std::vector<HWND> subscribers = standin::styleChangeSubscribers();
    expect(subscribers.size() == 1 && subscribers[0] == window,
           "the plug-in's window is not the one subscriber to style changes");
}

// The host's run over the styles, checking each step, then the stop.
int runCheck(const std::vector<std::string>& styles) {
    standin::printWindowColor(stdout);
    standin::Session session;
    std::string error;
    if (!session.load(&error)) {
        say(error);
        return 2;
    }
    for (const std::string& style : styles) {
        if (!standin::loadStyle(style, &error)) {
            say(error);
            return 2;
        }
        resetManagedColors();
        const AllColors before = allNow();
        const standin::Step step = session.step();
        if (step.start) {
            expect(step.result == 0, "beginPlugin returned " + std::to_string(step.result));
        } else {
            expect(step.result == 1,
                   "style change reached " + std::to_string(step.result) + " windows");
        }
        standin::printManagedColors(stdout, style);
        checkOthersUnchanged(before);
        if (step.start) {
            checkRunning(session);
        }
    }

    expect(session.stop() != 0, "endPlugin returned 0");
    expect(pluginWindow() == nullptr, "a window of " + PLUGIN_CLASS + " remains");
    expect(!classRegistered(session.module()), PLUGIN_CLASS + " remains registered");
    expect(standin::styleChangeSubscribers().empty(), "a subscription remains");
    checkNoErrorBox();
    return failures == 0 ? 0 : 1;
}

LRESULT CALLBACK takenClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Start-up fails, because the plug-in's class is taken or its window refused: it must say so in
// one error box, leave every system colour as it was, and leave no window, class or subscription.
int runStartFailure(const std::string& style, bool classTaken) {
    standin::Session session;
    if (!loadOrSay(session, style)) {
        return 2;
    }
    if (classTaken) {
        WNDCLASSA taken{};
        taken.lpfnWndProc = takenClassProc;
        taken.hInstance = session.module();
        taken.lpszClassName = PLUGIN_NAME;
        if (RegisterClassA(&taken) == 0) {
            say("cannot register " + PLUGIN_CLASS + " for the module");
            return 2;
        }
    }
    refusePluginWindow = !classTaken;

    resetManagedColors();
    const AllColors before = allNow();
    const int begun = session.start();
    refusePluginWindow = false;

    expect(begun == 1, "beginPlugin returned " + std::to_string(begun));
    expect(errorBoxes.size() == 1, std::to_string(errorBoxes.size()) + " error boxes");
    if (!errorBoxes.empty()) {
        const ErrorBox& box = errorBoxes[0];
        say("error box \"" + box.text + "\"");
        expect(box.text ==
                   (classTaken ? "Error registering window class" : "Error creating window"),
               "wrong error box text");
        expect(box.owner == (classTaken ? standin::mainWindow() : nullptr),
               "the error box has the wrong owner");
    }
    expect(allNow() == before, "system colours changed");
    expect(pluginWindow() == nullptr, "a window of " + PLUGIN_CLASS + " exists");
    expect(standin::styleChangeSubscribers().empty(), "something subscribed");
    if (classTaken) {
        UnregisterClassA(PLUGIN_NAME, session.module());
    } else {
        expect(!classRegistered(session.module()), PLUGIN_CLASS + " left registered");
    }
    return failures == 0 ? 0 : 1;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The ten colours first seen for each style; every later pass must give the same. The first
// ones are printed, for comparison with what the same plug-in gives natively.
class StyleColors {
  public:
    bool check(const std::string& style) {
        const TenColors colors = managedNow();
        if (colors == notAppliedColors()) {
            return false;
        }
        auto known = first_.find(style);
        if (known == first_.end()) {
            first_.emplace(style, colors);
            standin::printManagedColors(stdout, style);
            return true;
        }
        return known->second == colors;
    }

  private:
    std::map<std::string, TenColors> first_;
};

int runSoak(int cycles, int changes, const std::vector<std::string>& styles) {
    standin::printWindowColor(stdout);
    StyleColors seen;
    int failedCycles = 0;
    int failedChanges = 0;

    auto start = std::chrono::steady_clock::now();
    for (int cycle = 0; cycle < cycles; ++cycle) {
        const std::string& style = styles[cycle % styles.size()];
        standin::Session session;
        if (!loadOrSay(session, style)) {
            return 2;
        }
        resetManagedColors();
        const int begun = session.start();
        const bool applied = seen.check(style);
        const int ended = session.stop();
        const bool gone = pluginWindow() == nullptr && !classRegistered(session.module());
        if (begun != 0 || !applied || ended == 0 || !gone) {
            fail("cycle " + std::to_string(cycle) + " with " + style + ": begin " +
                     std::to_string(begun) + ", colours " + (applied ? "right" : "wrong") +
                     ", end " + std::to_string(ended) + (gone ? "" : ", window or class left"),
                 &failedCycles);
        }
    }
    say("cycles " + std::to_string(cycles) + ", failed " + std::to_string(failedCycles) + ", " +
        std::to_string(static_cast<long>(millisecondsSince(start))) + " ms");

    standin::Session session;
    if (!loadOrSay(session, styles[0])) {
        return 2;
    }
    const int begun = session.start();
    expect(begun == 0, "beginPlugin before the style changes returned " + std::to_string(begun));
    start = std::chrono::steady_clock::now();
    for (int change = 0; change < changes; ++change) {
        const std::string& style = styles[(change + 1) % styles.size()];
        resetManagedColors();
        std::string error;
        const int reached = session.change(style, &error);
        if (reached < 0) {
            say(error);
            return 2;
        }
        if (reached != 1 || !seen.check(style)) {
            fail("change " + std::to_string(change) + " to " + style + " reached " +
                     std::to_string(reached) + " windows or applied wrong colours",
                 &failedChanges);
        }
    }
    say("changes " + std::to_string(changes) + ", failed " + std::to_string(failedChanges) + ", " +
        std::to_string(static_cast<long>(millisecondsSince(start))) + " ms");

    expect(session.stop() != 0, "endPlugin after the style changes returned 0");
    expect(pluginWindow() == nullptr, "a window of " + PLUGIN_CLASS + " remains");
    expect(!classRegistered(session.module()), PLUGIN_CLASS + " remains registered");
    checkNoErrorBox();
    return failures == 0 ? 0 : 1;
}

// A count on the command line: digits only, up to ten million.
bool parseCount(const std::string& text, int* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < 0 || parsed > 10000000) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

int run(const std::vector<std::string>& arguments) {
    const std::string command = arguments.empty() ? "" : arguments[0];
    const std::vector<std::string> styles(arguments.begin() + (arguments.empty() ? 0 : 1),
                                          arguments.end());
    int cycles = 0;
    int changes = 0;
    if (command == "check" && !styles.empty()) {
        return runCheck(styles);
    }
    if ((command == "taken-class" || command == "creation-refused") && styles.size() == 1) {
        return runStartFailure(styles[0], command == "taken-class");
    }
    if (command == "soak" && styles.size() >= 3 && parseCount(styles[0], &cycles) &&
        parseCount(styles[1], &changes)) {
        return runSoak(cycles, changes, std::vector<std::string>(styles.begin() + 2, styles.end()));
    }
    say("usage: Marlwood.exe check STYLE...\n"
        "       Marlwood.exe taken-class STYLE\n"
        "       Marlwood.exe creation-refused STYLE\n"
        "       Marlwood.exe soak CYCLES CHANGES STYLE...");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (standin::createMainWindow(GetModuleHandleA(nullptr)) == nullptr) {
        say("cannot create the host's main window");
        return 2;
    }
    hook = SetWindowsHookExA(WH_CBT, watchWindows, nullptr, GetCurrentThreadId());
    if (hook == nullptr) {
        say("cannot watch for error boxes (error " + std::to_string(GetLastError()) + ")");
        return 2;
    }
    const int result = run(std::vector<std::string>(argv + 1, argv + argc));
    UnhookWindowsHookEx(hook);
    standin::destroyMainWindow();
    std::fflush(stdout);
    return result;
}
