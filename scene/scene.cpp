// The scene tintlet-preview --screenshot runs under Wine: the stand-in host as a Windows program
// that runs the real Tintlet.dll and opens windows, selections and a tooltip that Windows' own
// user32 and comctl32 draw with the system colours the plug-in applied.
//
//   Marlwood.exe [--window #rrggbb #rrggbb] STYLE...
//
// Sets the window colour when one is given, starts the plug-in on the first style and opens the
// scene; for each further style it changes the host's style as Marlwood does and repaints. After
// each style is painted it writes to standard output what a picture of the screen must show, then
// a line "painted STYLE", and waits for a line on standard input: "next" goes on to the next
// style, anything else (or the end of the input) stops the plug-in and ends. The lines before
// "painted", in screen coordinates:
//
//   point NAME X Y                     the pixel at X, Y has system colour NAME
//   within NAME LEFT TOP RIGHT BOTTOM  some pixels of the box (a text, a selection's background
//                                      between letters) have colour NAME
//
// The exit status: 0; 1 when the plug-in did not start or stop cleanly or the scene could not be
// made; 2 for a wrong command line, or when a style or the plug-in could not be read.
#include "standin/host.h"
#include "standin/session.h"
#include "stylefile/color_text.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char SCENE_CLASS[] = "MarlwoodScene";
constexpr UINT NEXT_STYLE = WM_APP + 1; // wParam: 1 go on, 0 stop
constexpr int EDIT_SELECTION_END = 13;  // "Selected text"

// Room for the caption gradients to show; the tooltip overlaps nothing. All of it lies within
// the 720 x 400 desktop of tools/preview/screenshots.reg.
constexpr RECT INACTIVE_WINDOW = {16, 16, 576, 126};
constexpr RECT ACTIVE_WINDOW = {96, 140, 704, 350};
constexpr POINT TOOLTIP_AT = {24, 364};

struct Scene {
    HWND inactive = nullptr;
    HWND active = nullptr;
    HWND listBox = nullptr;
    HWND edit = nullptr;
    HWND listView = nullptr;
    HWND tooltip = nullptr;
};

Scene scene;

void point(const char* name, LONG x, LONG y) {
    std::printf("point %s %ld %ld\n", name, x, y);
}

void within(const char* name, const RECT& box) {
    std::printf("within %s %ld %ld %ld %ld\n", name, box.left, box.top, box.right, box.bottom);
}

// A rectangle of a control's client area in screen coordinates.
RECT onScreen(HWND window, RECT rect) {
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

BOOL CALLBACK forwardToControl(HWND control, LPARAM message) {
    SendMessageA(control, static_cast<UINT>(message), 0, 0);
    return TRUE;
}

LRESULT CALLBACK sceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE) {
        // Common controls keep their own copy of the system colours until they are told.
        EnumChildWindows(window, forwardToControl, WM_SYSCOLORCHANGE);
    }
    if (message == WM_CLOSE) {
        return 0; // the scene ends when its reader says so
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND topWindow(const char* caption, const RECT& at) {
    return CreateWindowExA(0, SCENE_CLASS, caption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                           at.left, at.top, at.right - at.left, at.bottom - at.top, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND control(const char* windowClass, DWORD style, int x, int y, int width, int height,
             const char* text = "") {
    return CreateWindowExA(WS_EX_CLIENTEDGE, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y,
                           width, height, scene.active, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

// comctl32 takes the system colours when it loads, so it is loaded only once the plug-in has
// applied the first style.
bool loadCommonControls() {
    HMODULE comctl32 = LoadLibraryA("comctl32.dll");
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = comctl32 == nullptr ? nullptr
                                    : reinterpret_cast<Init>(reinterpret_cast<void (*)()>(
                                          GetProcAddress(comctl32, "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    return init != nullptr && init(&classes);
}

bool makeWindows() {
    WNDCLASSA definition{};
    definition.lpfnWndProc = sceneWindowProc;
    definition.hInstance = GetModuleHandleA(nullptr);
    definition.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    definition.hCursor = LoadCursor(nullptr, IDC_ARROW);
    definition.lpszClassName = SCENE_CLASS;
    if (RegisterClassA(&definition) == 0 || !loadCommonControls()) {
        return false;
    }
    scene.inactive =
        topWindow("Inactive title bar: Windows draws it from the system colours", INACTIVE_WINDOW);
    scene.active =
        topWindow("Active title bar: with a selected row, text and a tooltip", ACTIVE_WINDOW);
    if (scene.inactive == nullptr || scene.active == nullptr) {
        return false;
    }

    scene.listBox = control("LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL, 16, 16, 280, 100);
    for (const char* row : {"First row", "Selected row", "Third row", "Fourth row"}) {
        SendMessageA(scene.listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    }
    SendMessageA(scene.listBox, LB_SETCURSEL, 1, 0);

    scene.edit =
        control("EDIT", ES_NOHIDESEL | ES_AUTOHSCROLL, 16, 130, 280, 26, "Selected text, and more");
    SendMessageA(scene.edit, EM_SETSEL, 0, EDIT_SELECTION_END);

    scene.listView =
        control(WC_LISTVIEWA, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER,
                316, 16, 310, 140);
    ListView_SetExtendedListViewStyle(scene.listView, LVS_EX_FULLROWSELECT);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 240;
    SendMessageA(scene.listView, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    for (const char* text : {"First item", "Selected item", "Third item"}) {
        item.pszText = const_cast<char*>(text);
        SendMessageA(scene.listView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ++item.iItem;
    }
    ListView_SetItemState(scene.listView, 1, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);

    ShowWindow(scene.inactive, SW_SHOWNOACTIVATE);
    ShowWindow(scene.active, SW_SHOW);
    SetForegroundWindow(scene.active);
    SetActiveWindow(scene.active);
    // A list view shows its selection in the highlight colours only while it has the focus.
    SetFocus(scene.listView);
    return true;
}

// A tooltip takes its colours when it is made, so each style gets a new one.
bool makeTooltip() {
    if (scene.tooltip != nullptr) {
        DestroyWindow(scene.tooltip);
    }
    scene.tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                                    scene.active, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (scene.tooltip == nullptr) {
        return false;
    }
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = scene.active;
    tool.uId = 1;
    tool.lpszText = const_cast<char*>("A tooltip, drawn in the tooltip colours");
    SendMessageA(scene.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(scene.tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(TOOLTIP_AT.x, TOOLTIP_AT.y));
    SendMessageA(scene.tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    return true;
}

// Handles messages until none has come for a while; each wait also lets Wine put what was
// painted on the screen.
void settle() {
    for (;;) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 150, QS_ALLINPUT) == WAIT_TIMEOUT) {
            return;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void repaint() {
    for (HWND window : {scene.inactive, scene.active}) {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    settle();
}

// A selected row of a list, given in its client coordinates: its background beyond its text.
void selectedRow(HWND list, RECT row) {
    row = onScreen(list, row);
    point("COLOR_HIGHLIGHT", row.right - 4, (row.top + row.bottom) / 2);
    within("COLOR_HIGHLIGHTTEXT", row);
}

// Where a picture of the screen must show each managed colour. Windows draws a caption's first
// colour solid under its icon and its second under its buttons, with the gradient between: each
// is sampled where it is solid, the first at the caption's left edge on its top row (above the
// icon), the second at its right end. A selected row's background is sampled beyond its text.
void describe() {
    for (HWND window : {scene.inactive, scene.active}) {
        const bool active = window == scene.active;
        TITLEBARINFO bar{};
        bar.cbSize = sizeof bar;
        GetTitleBarInfo(window, &bar);
        WINDOWINFO frame{};
        frame.cbSize = sizeof frame;
        GetWindowInfo(window, &frame);
        const RECT& r = bar.rcTitleBar;
        point(active ? "COLOR_ACTIVECAPTION" : "COLOR_INACTIVECAPTION",
              frame.rcWindow.left + static_cast<LONG>(frame.cxWindowBorders), r.top);
        point(active ? "COLOR_GRADIENTACTIVECAPTION" : "COLOR_GRADIENTINACTIVECAPTION", r.right - 1,
              r.top);
        within(active ? "COLOR_CAPTIONTEXT" : "COLOR_INACTIVECAPTIONTEXT", r);
    }
    RECT row;
    SendMessageA(scene.listBox, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    selectedRow(scene.listBox, row);

    RECT item;
    ListView_GetItemRect(scene.listView, 1, &item, LVIR_BOUNDS);
    selectedRow(scene.listView, item);

    // The selected characters of the edit box, as high as its line.
    const LRESULT first = SendMessageA(scene.edit, EM_POSFROMCHAR, 0, 0);
    const LRESULT last = SendMessageA(scene.edit, EM_POSFROMCHAR, EDIT_SELECTION_END, 0);
    RECT client;
    GetClientRect(scene.edit, &client);
    RECT selection = {static_cast<short>(LOWORD(first)), client.top,
                      static_cast<short>(LOWORD(last)), client.bottom};
    selection = onScreen(scene.edit, selection);
    within("COLOR_HIGHLIGHT", selection);
    within("COLOR_HIGHLIGHTTEXT", selection);

    // Inside the tooltip's border, which is drawn in another colour.
    RECT tip;
    GetClientRect(scene.tooltip, &tip);
    tip = onScreen(scene.tooltip, tip);
    point("COLOR_INFOBK", tip.left + 1, tip.top + 1);
    within("COLOR_INFOTEXT", tip);
}

void painted(const std::string& style) {
    describe();
    std::printf("painted %s\n", style.c_str());
    std::fflush(stdout);
}

// Reads the scene's orders from standard input, so the main thread keeps handling messages.
DWORD WINAPI readOrders(LPVOID mainThread) {
    char line[64];
    const DWORD thread = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(mainThread));
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        const bool next = std::strcmp(line, "next\n") == 0 || std::strcmp(line, "next\r\n") == 0;
        PostThreadMessageA(thread, NEXT_STYLE, next ? 1 : 0, 0);
        if (!next) {
            return 0;
        }
    }
    PostThreadMessageA(thread, NEXT_STYLE, 0, 0);
    return 0;
}

// Handles messages until the reader says to go on (true) or to stop (false).
bool awaitOrder() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == NEXT_STYLE) {
            return message.wParam != 0;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return false;
}

// Opens the scene on the plug-in's first style and takes it through the rest, one order each.
int showScene(const std::vector<std::string>& styles) {
    standin::Session session;
    std::string error;
    if (!session.load(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue, for the reader
    const HANDLE reader = CreateThread(
        nullptr, 0, readOrders,
        reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(GetCurrentThreadId())), 0, nullptr);
    if (reader == nullptr) {
        std::fprintf(stderr, "cannot read orders (error %lu)\n", GetLastError());
        return 1;
    }
    CloseHandle(reader);

    // Each further style only once the picture of the last one is taken.
    int status = 0;
    for (std::size_t i = 0; i < styles.size() && status == 0; ++i) {
        if (i > 0 && !awaitOrder()) {
            break;
        }
        if (!standin::loadStyle(styles[i], &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            status = 2;
            break;
        }
        const standin::Step step = session.step();
        if (step.start && step.result != 0) {
            std::fprintf(stderr, "the plug-in failed to start\n");
            status = 1;
        } else if ((step.start && !makeWindows()) || !makeTooltip()) {
            std::fprintf(stderr, "cannot make the scene (error %lu)\n", GetLastError());
            status = 1;
        } else {
            repaint();
            painted(styles[i]);
            if (i + 1 == styles.size()) {
                awaitOrder(); // the last picture is taken before the scene goes
            }
        }
    }
    for (HWND window : {scene.tooltip, scene.active, scene.inactive}) {
        if (window != nullptr) {
            DestroyWindow(window);
        }
    }
    if (session.running() && session.stop() == 0 && status == 0) {
        std::fprintf(stderr, "the plug-in left its window class registered\n");
        status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> styles(argv + 1, argv + argc);
    // The window colour the highlight is chosen against, as the preview's --window sets it, and
    // a window text that reads on it.
    if (!styles.empty() && styles[0] == "--window") {
        COLORREF colors[2] = {};
        if (styles.size() < 3 || !stylefile::parseColor(styles[1], colors[0]) ||
            !stylefile::parseColor(styles[2], colors[1])) {
            std::fprintf(stderr, "--window needs a window colour and its text's, #rrggbb each\n");
            return 2;
        }
        const INT indices[2] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
        SetSysColors(2, indices, colors);
        styles.erase(styles.begin(), styles.begin() + 3);
    }
    if (styles.empty()) {
        std::fprintf(stderr, "usage: %s [--window #rrggbb #rrggbb] STYLE...\n", argv[0]);
        return 2;
    }
    return showScene(styles);
}
