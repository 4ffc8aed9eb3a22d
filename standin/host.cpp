#include "standin/host.h"

#include "host/marlwood.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

namespace standin {
namespace {

constexpr char MAIN_WINDOW_CLASS[] = "MarlwoodMainWindow";
// A subscription array longer than this is not zero-terminated; the rest is not read.
constexpr int MAX_SUBSCRIBED_MESSAGES = 256;

struct HostState {
    std::string stylePath;
    stylefile::StyleFile style;
    HWND mainWindow = nullptr;
    HINSTANCE instance = nullptr;
    bool classRegistered = false;
    std::vector<std::pair<HWND, UINT>> subscriptions; // window and message, in subscription order
    // Other styles by path, as read when asked for; none for a path that names no style.
    std::map<std::string, std::optional<stylefile::StyleFile>> otherStyles;
    Answers answers;
};

HostState& host() {
    static HostState state;
    return state;
}

void makeCurrent(const std::string& path, stylefile::StyleFile style) {
    host().style = std::move(style);
    host().stylePath = path;
    host().otherStyles.clear();
}

// Subscribes the window to each message of a zero-terminated array, or withdraws it from them.
void changeSubscriptions(HWND window, LPARAM array, bool subscribe) {
    auto& subscriptions = host().subscriptions;
    const auto* numbers = reinterpret_cast<const uint32_t*>(array);
    for (int i = 0;
         window != nullptr && numbers != nullptr && i < MAX_SUBSCRIBED_MESSAGES && numbers[i] != 0;
         ++i) {
        const std::pair<HWND, UINT> subscription(window, numbers[i]);
        const auto it = std::find(subscriptions.begin(), subscriptions.end(), subscription);
        if (subscribe && it == subscriptions.end()) {
            subscriptions.push_back(subscription);
        } else if (!subscribe && it != subscriptions.end()) {
            subscriptions.erase(it);
        }
    }
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case HOST_SUBSCRIBE:
    case HOST_UNSUBSCRIBE:
        changeSubscriptions(reinterpret_cast<HWND>(wParam), lParam, message == HOST_SUBSCRIBE);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

bool loadStyle(const std::string& path, std::string* error, stylefile::StyleProblems* problems) {
    stylefile::StyleFile style;
    if (!stylefile::readStyleFile(path, &style, error, problems)) {
        return false;
    }
    makeCurrent(path, std::move(style));
    return true;
}

void setStyle(const std::string& path, std::string_view text, stylefile::StyleProblems* problems) {
    makeCurrent(path, stylefile::StyleFile::parse(text, problems));
}

void setStyle(const std::string& path, stylefile::StyleFile style) {
    makeCurrent(path, std::move(style));
}

const stylefile::StyleFile* styleAt(const char* path) {
    HostState& state = host();
    if (path == nullptr) {
        return nullptr;
    }
    if (state.stylePath == path) {
        return &state.style;
    }
    auto known = state.otherStyles.find(path);
    if (known == state.otherStyles.end()) {
        stylefile::StyleFile style;
        const bool read = *path != '\0' && stylefile::readStyleFile(path, &style, nullptr);
        known =
            state.otherStyles.emplace(path, read ? std::optional(std::move(style)) : std::nullopt)
                .first;
    }
    return known->second ? &*known->second : nullptr;
}

void answerWith(const Answers& answers) {
    host().answers = answers;
}

const Answers& answers() {
    return host().answers;
}

const std::string& currentStylePath() {
    return host().stylePath;
}

const stylefile::StyleFile& currentStyle() {
    return host().style;
}

HWND createMainWindow(HINSTANCE instance) {
    HostState& state = host();
    if (state.mainWindow != nullptr && IsWindow(state.mainWindow)) {
        return state.mainWindow;
    }
    state.subscriptions.clear();
    WNDCLASSA definition{};
    definition.lpfnWndProc = mainWindowProc;
    definition.hInstance = instance;
    definition.lpszClassName = MAIN_WINDOW_CLASS;
    // A class left from an earlier window of ours still serves.
    state.classRegistered = RegisterClassA(&definition) != 0 || state.classRegistered;
    state.instance = instance;
    // Never shown: the host's windows are not what the plug-in works on.
    state.mainWindow = CreateWindowExA(0, MAIN_WINDOW_CLASS, "Marlwood", WS_OVERLAPPEDWINDOW, 0, 0,
                                       0, 0, nullptr, nullptr, instance, nullptr);
    return state.mainWindow;
}

void destroyMainWindow() {
    HostState& state = host();
    if (state.mainWindow != nullptr) {
        DestroyWindow(state.mainWindow);
        state.mainWindow = nullptr;
    }
    if (state.classRegistered) {
        UnregisterClassA(MAIN_WINDOW_CLASS, state.instance);
        state.classRegistered = false;
    }
    state.subscriptions.clear();
}

HWND mainWindow() {
    return host().mainWindow;
}

std::vector<HWND> styleChangeSubscribers() {
    std::vector<HWND> windows;
    for (const auto& [window, message] : host().subscriptions) {
        if (message == HOST_STYLECHANGED) {
            windows.push_back(window);
        }
    }
    return windows;
}

int broadcastStyleChanged() {
    // A copy: a window may withdraw its subscription while it handles the message.
    int reached = 0;
    for (HWND window : styleChangeSubscribers()) {
        if (IsWindow(window)) {
            SendMessageA(window, HOST_STYLECHANGED, 0, 0);
            ++reached;
        }
    }
    return reached;
}

} // namespace standin
