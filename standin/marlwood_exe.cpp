// Marlwood.exe: the stand-in host as a Windows program. It loads Tintlet.dll as the host does and
// runs it over the styles on its command line, or runs a check named there:
//
//   Marlwood.exe STYLE...                      start with the first style, change to each further
//                                              style, stop
//   Marlwood.exe check STYLE...                the same, checking what Windows holds at each step
//   Marlwood.exe taken-class STYLE             "Tintlet" is already registered for the module, so
//                                              start-up must fail with its error box
//   Marlwood.exe soak CYCLES CHANGES STYLE...  CYCLES starts and stops, then CHANGES style changes
//                                              in one start, alternating between the styles
//
// Standard output has the window colour and, whenever the plug-in has applied a style first,
// "style NAME" and the ten managed colours, just as tintlet-expected-colors prints them natively.
// The checks report on standard error; a failed one prints a line starting with "FAIL:" and makes
// the exit code 1; a usage or loading error gives 2.
#include "colors/system_color_set.h"
#include "host/marlwood.h"
#include "plugin/plugin.h"
#include "standin/host.h"
#include "standin/session.h"
#include "stylefile/color_text.h"

#include <windows.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr char ERROR_BOX_CLASS[] = "#32770";
constexpr int ERROR_BOX_TEXT_ID = 0xFFFF;
constexpr DWORD ERROR_BOX_WAIT_MS = 10000;

using TenColors = std::array<COLORREF, MANAGED_COLOR_COUNT>;
using AllColors = std::array<COLORREF, SYSTEM_COLOR_COUNT>;

int failures = 0;

// What the checks found, on standard error; standard output is kept for the colours.
void say(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
}

void fail(const std::string& what) {
    say("FAIL: " + what);
    ++failures;
}

// For checks repeated thousands of times: every failure counts, the first few are printed.
void failRepeated(int* count, const std::string& what) {
    if (++*count <= 5) {
        say("FAIL: " + what);
    }
    ++failures;
}

void expect(bool condition, const std::string& what) {
    if (!condition) {
        fail(what);
    }
}

bool isManaged(int index) {
    for (INT managed : managedColorIndices) {
        if (managed == index) {
            return true;
        }
    }
    return false;
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
    bool unchanged = true;
    for (int i = 0; i < SYSTEM_COLOR_COUNT; ++i) {
        if (!isManaged(i) && now[i] != before[i]) {
            fail("system colour " + std::to_string(i) + " changed from " +
                 stylefile::colorText(before[i]) + " to " + stylefile::colorText(now[i]));
            unchanged = false;
        }
    }
    if (unchanged) {
        say("other colours unchanged");
    }
}

bool classRegistered(HINSTANCE instance) {
    WNDCLASSA definition{};
    return GetClassInfoA(instance, PLUGIN_NAME, &definition) != 0;
}

HWND pluginWindow() {
    return FindWindowA(PLUGIN_NAME, nullptr);
}

// Loads the style and the plug-in, or says why not.
bool loadOrSay(standin::Session& session, const std::string& style) {
    std::string error;
    if (!session.load(style, &error)) {
        say(error);
        return false;
    }
    return true;
}

// What the second thread saw of an error box.
struct ErrorBox {
    std::string text;
    HWND owner = nullptr;
};

// The plug-in's error boxes are modal: the thread that called beginPlugin stays inside one until
// someone closes it. So for the whole run a second thread looks for boxes with the plug-in's
// caption, notes what they say and presses OK; no run can hang on one.
class ErrorBoxWatcher {
  public:
    ErrorBoxWatcher() {
        InitializeCriticalSection(&lock_);
        thread_ = CreateThread(nullptr, 0, watch, this, 0, nullptr);
    }
    ~ErrorBoxWatcher() {
        stop_ = 1;
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        DeleteCriticalSection(&lock_);
    }

    // Waits until a box has been closed or the timeout passes; the boxes seen so far.
    std::vector<ErrorBox> waitForBox(DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        while (seen().empty() && GetTickCount() - start < timeoutMs) {
            Sleep(5);
        }
        return seen();
    }

    std::vector<ErrorBox> seen() {
        EnterCriticalSection(&lock_);
        std::vector<ErrorBox> boxes = boxes_;
        LeaveCriticalSection(&lock_);
        return boxes;
    }

  private:
    static DWORD WINAPI watch(LPVOID self) {
        static_cast<ErrorBoxWatcher*>(self)->closeBoxes();
        return 0;
    }

    void closeBoxes() {
        while (stop_ == 0) {
            const HWND found = FindWindowA(ERROR_BOX_CLASS, PLUGIN_NAME);
            if (found == nullptr) {
                Sleep(5);
                continue;
            }
            char text[256] = {};
            GetDlgItemTextA(found, ERROR_BOX_TEXT_ID, text, sizeof text);
            ErrorBox box{text, GetWindow(found, GW_OWNER)};
            // Gone before looking again, so that no box is counted twice.
            for (int waited = 0; IsWindow(found) && stop_ == 0; ++waited) {
                if (waited % 500 == 0) {
                    PostMessageA(found, WM_COMMAND, IDOK, 0);
                }
                Sleep(1);
            }
            EnterCriticalSection(&lock_);
            boxes_.push_back(box);
            LeaveCriticalSection(&lock_);
        }
    }

    CRITICAL_SECTION lock_;
    HANDLE thread_ = nullptr;
    volatile LONG stop_ = 0;
    std::vector<ErrorBox> boxes_;
};

ErrorBoxWatcher* errorBoxes = nullptr;

// A run that should show no error box: any that came up is a failure.
void checkNoErrorBox() {
    int count = 0;
    for (const ErrorBox& box : errorBoxes->seen()) {
        failRepeated(&count, "error box \"" + box.text + "\"");
    }
}

// "class Tintlet", for the checks' reports.
const std::string PLUGIN_CLASS = std::string("class ") + PLUGIN_NAME;

// Start with the first style, one style change per further style, then stop.
int runCheck(const std::vector<std::string>& styles) {
    standin::printWindowColor(stdout);
    standin::Session session;
    if (!loadOrSay(session, styles[0])) {
        return 2;
    }

    resetManagedColors();
    AllColors before = allNow();
    const int begun = session.begin();
    say("begin " + std::to_string(begun));
    expect(begun == 0, "beginPlugin returned " + std::to_string(begun));
    standin::printManagedColors(stdout, styles[0]);
    checkOthersUnchanged(before);

    const HWND window = pluginWindow();
    expect(window != nullptr, "no window of " + PLUGIN_CLASS + " while running");
    expect(classRegistered(session.module()), PLUGIN_CLASS + " not registered while running");
    expect(!IsWindowVisible(window), "the plug-in's window is visible");
    expect(GetWindowLongA(window, GWL_USERDATA) == PLUGIN_WINDOW_MARKER,
           "the plug-in's window lacks the marker");
    const std::vector<HWND> subscribers = standin::styleChangeSubscribers();
    expect(subscribers.size() == 1 && subscribers[0] == window,
           "the plug-in's window is not the one subscriber to style changes");

    for (std::size_t i = 1; i < styles.size(); ++i) {
        resetManagedColors();
        before = allNow();
        std::string error;
        const int reached = session.change(styles[i], &error);
        if (reached < 0) {
            say(error);
            return 2;
        }
        expect(reached == 1, "style change reached " + std::to_string(reached) + " windows");
        standin::printManagedColors(stdout, styles[i]);
        checkOthersUnchanged(before);
    }

    const int ended = session.end();
    say("end " + std::to_string(ended));
    expect(ended != 0, "endPlugin returned 0");
    expect(pluginWindow() == nullptr, "a window of " + PLUGIN_CLASS + " remains");
    expect(!classRegistered(session.module()), PLUGIN_CLASS + " remains registered");
    expect(standin::styleChangeSubscribers().empty(), "a subscription remains");
    checkNoErrorBox();
    return failures == 0 ? 0 : 1;
}

LRESULT CALLBACK takenClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Someone else holds the plug-in's class for the module: start-up must fail, say so in its
// error box owned by the host's window, and leave every system colour as it was.
int runTakenClass(const std::string& style) {
    standin::Session session;
    if (!loadOrSay(session, style)) {
        return 2;
    }
    WNDCLASSA taken{};
    taken.lpfnWndProc = takenClassProc;
    taken.hInstance = session.module();
    taken.lpszClassName = PLUGIN_NAME;
    if (RegisterClassA(&taken) == 0) {
        say("cannot register " + PLUGIN_CLASS + " for the module");
        return 2;
    }

    resetManagedColors();
    const AllColors before = allNow();
    const int begun = session.begin();
    const std::vector<ErrorBox> boxes = errorBoxes->waitForBox(ERROR_BOX_WAIT_MS);

    say("begin " + std::to_string(begun));
    expect(begun == 1, "beginPlugin returned " + std::to_string(begun));
    expect(boxes.size() == 1, std::to_string(boxes.size()) + " error boxes");
    if (!boxes.empty()) {
        const ErrorBox& box = boxes[0];
        say("error box \"" + box.text + "\"");
        expect(box.text == "Error registering window class", "wrong error box text");
        expect(box.owner == standin::mainWindow(), "the error box is not owned by the host");
    }
    expect(allNow() == before, "system colours changed");
    expect(pluginWindow() == nullptr, "a window of " + PLUGIN_CLASS + " exists");
    expect(standin::styleChangeSubscribers().empty(), "something subscribed");

    UnregisterClassA(PLUGIN_NAME, session.module());
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
        const int begun = session.begin();
        const bool applied = seen.check(style);
        const int ended = session.end();
        const bool gone = pluginWindow() == nullptr && !classRegistered(session.module());
        if (begun != 0 || !applied || ended == 0 || !gone) {
            failRepeated(&failedCycles, "cycle " + std::to_string(cycle) + " with " + style +
                                            ": begin " + std::to_string(begun) + ", colours " +
                                            (applied ? "right" : "wrong") + ", end " +
                                            std::to_string(ended) +
                                            (gone ? "" : ", window or class left"));
        }
    }
    say("cycles " + std::to_string(cycles) + ", failed " + std::to_string(failedCycles) + ", " +
        std::to_string(std::lround(millisecondsSince(start))) + " ms");

    standin::Session session;
    if (!loadOrSay(session, styles[0])) {
        return 2;
    }
    const int begun = session.begin();
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
            failRepeated(&failedChanges, "change " + std::to_string(change) + " to " + style +
                                             " reached " + std::to_string(reached) +
                                             " windows or applied wrong colours");
        }
    }
    say("changes " + std::to_string(changes) + ", failed " + std::to_string(failedChanges) + ", " +
        std::to_string(std::lround(millisecondsSince(start))) + " ms");

    expect(session.end() != 0, "endPlugin after the style changes returned 0");
    expect(pluginWindow() == nullptr, "a window of " + PLUGIN_CLASS + " remains");
    expect(!classRegistered(session.module()), PLUGIN_CLASS + " remains registered");
    checkNoErrorBox();
    return failures == 0 ? 0 : 1;
}

bool positive(const char* text, int* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 10000000) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

int usage() {
    say("usage: Marlwood.exe STYLE...\n"
        "       Marlwood.exe check STYLE...\n"
        "       Marlwood.exe taken-class STYLE\n"
        "       Marlwood.exe soak CYCLES CHANGES STYLE...");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    const std::string command = argv[1];
    if (standin::createMainWindow(GetModuleHandleA(nullptr)) == nullptr) {
        say("cannot create the host's main window");
        return 2;
    }
    ErrorBoxWatcher watcher;
    errorBoxes = &watcher;
    int result = -1;
    if (command == "check" && argc >= 3) {
        result = runCheck(std::vector<std::string>(argv + 2, argv + argc));
    } else if (command == "taken-class" && argc == 3) {
        result = runTakenClass(argv[2]);
    } else if (command == "soak" && argc >= 5) {
        int cycles = 0;
        int changes = 0;
        if (positive(argv[2], &cycles) && positive(argv[3], &changes)) {
            result = runSoak(cycles, changes, std::vector<std::string>(argv + 4, argv + argc));
        }
    } else if (command != "check" && command != "taken-class" && command != "soak") {
        result =
            standin::runStyles(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
        checkNoErrorBox();
        result = result != 0 ? result : (failures == 0 ? 0 : 1);
    }
    if (result == -1) {
        result = usage();
    }
    standin::destroyMainWindow();
    std::fflush(stdout);
    return result;
}
