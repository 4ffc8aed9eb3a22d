// Takes the input as a style file and runs a whole host session over it: the stand-in host loads
// the style, creates its main window and starts the plug-in, sends one style change and stops
// it. Checks what the host and Windows can see: two complete applications of the same ten
// colours, each one the style or a default gave, and nothing of the plug-in left afterwards.

#include "colors/menu_highlight.h"
#include "colors/system_color_set.h"
#include "fuzz/fuzz_input.h"
#include "host/marlwood.h"
#include "plugin/plugin.h"
#include "standin/call_record.h"
#include "standin/host.h"
#include "standin/session.h"
#include "win32/win32_standin.h"

#include <set>
#include <string>
#include <string_view>

using fuzz::require;

namespace {

bool isFallback(COLORREF color) {
    return color == FALLBACK_HIGHLIGHT || color == FALLBACK_HIGHLIGHT_TEXT ||
           color == BLACK_FALLBACK_HIGHLIGHT;
}

size_t messagesSent(UINT message) {
    size_t count = 0;
    for (const standin::Call& call : standin::calls()) {
        count += call.function == "SendMessageA" && call.arguments[1] == message;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    win32_standin::reset();
    standin::recordCalls(true);
    standin::setStyle("/styles/fuzzed.style",
                      std::string_view(reinterpret_cast<const char*>(data), size));

    standin::Session session;
    std::string error;
    require(session.load(&error), "the host has no main window or the plug-in did not load");

    require(session.start() == 0, "the plug-in did not start");
    require(standin::styleChangeSubscribers().size() == 1, "the plug-in did not subscribe once");
    require(session.change() == 1, "the style change reached no window");
    require(session.stop() != 0, "the plug-in's class was not removed");

    require(standin::styleChangeSubscribers().empty(), "a subscription outlived the plug-in");
    require(messagesSent(HOST_SUBSCRIBE) == 1 && messagesSent(HOST_UNSUBSCRIBE) == 1,
            "subscribed or withdrew other than once");
    require(win32_standin::findClass(PLUGIN_NAME) == nullptr, "the plug-in's class remains");
    require(win32_standin::windows().size() == 1, "a window other than the host's remains");

    // Every colour a ReadColor of the session answered, and each application of the ten.
    std::set<COLORREF> colorsRead;
    std::vector<std::vector<std::pair<int, std::uint32_t>>> applied;
    for (const standin::Call& call : standin::takeCalls()) {
        if (call.function == "ReadColor") {
            colorsRead.insert(static_cast<COLORREF>(call.result));
        }
        if (call.function == "SetSysColors") {
            applied.push_back(call.colors);
        }
    }
    standin::recordCalls(false);
    require(applied.size() == 2, "other than one application at start and one per change");
    for (const auto& colors : applied) {
        require(colors.size() == MANAGED_COLOR_COUNT, "an application of other than ten");
        for (const auto& pair : colors) {
            require(colorsRead.count(pair.second) != 0 || isFallback(pair.second),
                    "a colour applied that neither the style nor a fallback gave");
        }
    }
    require(applied[0] == applied[1], "the same style gave different colours");
    return 0;
}
