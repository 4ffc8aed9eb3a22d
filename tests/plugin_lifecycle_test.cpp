// Starting, running and stopping the plug-in as the host sees it: the Win32 and host calls made,
// their arguments and order, the error boxes, the messages exchanged and the colours applied.
#include "host/marlwood.h"
#include "plugin/plugin.h"
#include "tests/style_fixture.h"

#include <gmock/gmock.h>

#include <algorithm>

using ::testing::ElementsAre;

namespace {

HINSTANCE const MODULE = reinterpret_cast<HINSTANCE>(0x10000000);

// A message as SendMessageA or DefWindowProcA was given it.
struct Message {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Message> messagesTo(const std::string& function) {
    std::vector<Message> messages;
    for (const standin::Call& call : tests::callsTo(function)) {
        messages.push_back({reinterpret_cast<HWND>(call.arguments[0]),
                            static_cast<UINT>(call.arguments[1]), call.arguments[2],
                            static_cast<LPARAM>(call.arguments[3])});
    }
    return messages;
}

// A subscription array as the host reads it: up to and with its terminating zero.
std::vector<uint32_t> arrayAt(LPARAM address) {
    std::vector<uint32_t> numbers;
    for (auto* n = reinterpret_cast<const uint32_t*>(address);; ++n) {
        numbers.push_back(*n);
        if (*n == 0) {
            return numbers;
        }
    }
}

class PluginLifecycleTest : public StyleTest {
  protected:
    void SetUp() override {
        StyleTest::SetUp();
        host = standin::mainWindow();
    }

    // The calls the plug-in made, without its own style lookups and default processing.
    std::vector<std::string> pluginCalls(std::size_t from = 0) const {
        std::vector<std::string> names;
        for (std::size_t i = from; i < standin::calls().size(); ++i) {
            const standin::Call& call = standin::calls()[i];
            if (!tests::isLookup(call) && call.function != "DefWindowProcA") {
                names.push_back(call.function);
            }
        }
        return names;
    }

    HWND pluginWindow() const { return FindWindowA(PLUGIN_NAME, nullptr); }

    std::vector<Message> sentToHost() const {
        std::vector<Message> sent;
        for (const Message& m : messagesTo("SendMessageA")) {
            if (m.window == host) {
                sent.push_back(m);
            }
        }
        return sent;
    }

    HWND host = nullptr;
};

} // namespace

TEST_F(PluginLifecycleTest, StartUpRunsInOrderAndAppliesOnce) {
    ASSERT_EQ(beginPlugin(MODULE), 0);

    EXPECT_THAT(pluginCalls(), ElementsAre("GetMWWnd", "RegisterClassA", "CreateWindowExA",
                                           "SendMessageA", "SetWindowLongPtrA", "ShowWindow",
                                           "stylePath", "GetSysColor", "SetSysColors"));
    ASSERT_EQ(tests::callsTo("SetSysColors").size(), 1u);
    EXPECT_EQ(tests::callsTo("SetSysColors")[0].colors.size(), 10u);
}

TEST_F(PluginLifecycleTest, RegistersABareClassNamedTintlet) {
    ASSERT_EQ(beginPlugin(MODULE), 0);

    const auto* windowClass = win32_standin::findClass("Tintlet");
    ASSERT_NE(windowClass, nullptr);
    EXPECT_EQ(windowClass->name, "Tintlet");
    const WNDCLASSA& c = windowClass->definition;
    EXPECT_EQ(c.lpfnWndProc, &pluginWndProc);
    EXPECT_EQ(c.hInstance, MODULE);
    EXPECT_EQ(c.style, 0u);
    EXPECT_EQ(c.cbClsExtra, 0);
    EXPECT_EQ(c.cbWndExtra, 0);
    EXPECT_EQ(c.hIcon, nullptr);
    EXPECT_EQ(c.hCursor, nullptr);
    EXPECT_EQ(c.hbrBackground, nullptr);
    EXPECT_EQ(c.lpszMenuName, nullptr);
}

TEST_F(PluginLifecycleTest, HiddenWindowIsAZeroSizedMarkedToolWindow) {
    ASSERT_EQ(beginPlugin(MODULE), 0);

    const auto* w = win32_standin::findWindow(pluginWindow());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->exStyle, 0x00000080u);
    EXPECT_EQ(w->style, 0x86000000u); // no WS_VISIBLE
    EXPECT_FALSE(w->named);
    EXPECT_EQ(std::vector<int>({w->x, w->y, w->width, w->height}), std::vector<int>(4, 0));
    EXPECT_EQ(w->parent, nullptr);
    EXPECT_EQ(w->menu, nullptr);
    EXPECT_EQ(w->instance, MODULE);
    EXPECT_EQ(w->param, nullptr);
    EXPECT_EQ(w->userData, 0x49474541);
    EXPECT_FALSE(w->visible);
    // Hidden explicitly too, once it is subscribed, whatever it was created as.
    const auto shown = tests::callsTo("ShowWindow");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].arguments, (std::vector<std::uintptr_t>{
                                      reinterpret_cast<std::uintptr_t>(pluginWindow()), SW_HIDE}));
}

TEST_F(PluginLifecycleTest, SubscribesItsWindowToStyleChanges) {
    ASSERT_EQ(beginPlugin(MODULE), 0);

    const auto sent = sentToHost();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, 10001u);
    EXPECT_EQ(sent[0].wParam, reinterpret_cast<WPARAM>(pluginWindow()));
    EXPECT_THAT(arrayAt(sent[0].lParam), ElementsAre(10103u, 0u));
    EXPECT_THAT(standin::styleChangeSubscribers(), ElementsAre(pluginWindow()));
}

struct StartFailure {
    const char* name;
    bool failRegister;
    bool failCreate;
    bool classTaken; // another "Tintlet" class already registered for the module
    const char* text;
    bool ownedByHost;
};

void PrintTo(const StartFailure& f, std::ostream* os) {
    *os << f.name;
}

class StartFailureTest : public PluginLifecycleTest,
                         public ::testing::WithParamInterface<StartFailure> {};

TEST_P(StartFailureTest, ShowsItsBoxAndLeavesNothingBehind) {
    const StartFailure& f = GetParam();
    if (f.classTaken) {
        WNDCLASSA taken = {};
        taken.lpfnWndProc = DefWindowProcA;
        taken.hInstance = MODULE;
        taken.lpszClassName = "Tintlet";
        RegisterClassA(&taken);
    }
    win32_standin::failRegisterClass(f.failRegister);
    win32_standin::failCreateWindow(f.failCreate);

    EXPECT_EQ(beginPlugin(MODULE), 1);

    const auto boxes = tests::callsTo("MessageBoxA");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].texts, (std::vector<std::string>{f.text, "Tintlet"}));
    EXPECT_EQ(boxes[0].arguments[0],
              reinterpret_cast<std::uintptr_t>(f.ownedByHost ? host : nullptr));
    EXPECT_EQ(boxes[0].arguments[3], 0x00040010u);
    EXPECT_TRUE(sentToHost().empty());
    EXPECT_TRUE(tests::callsTo("SetSysColors").empty());
    EXPECT_EQ(pluginWindow(), nullptr);
    EXPECT_TRUE(tests::lookups().empty());
}

INSTANTIATE_TEST_SUITE_P(Failures, StartFailureTest,
                         ::testing::Values(StartFailure{"RegistrationFails", true, false, false,
                                                        "Error registering window class", true},
                                           StartFailure{"ClassAlreadyRegistered", false, false,
                                                        true, "Error registering window class",
                                                        true},
                                           StartFailure{"WindowCreationFails", false, true, false,
                                                        "Error creating window", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PluginLifecycleTest, FailedWindowCreationUnregistersTheClassSoALaterStartWorks) {
    win32_standin::failCreateWindow(true);
    ASSERT_EQ(beginPlugin(MODULE), 1);
    EXPECT_EQ(win32_standin::findClass("Tintlet"), nullptr);

    win32_standin::failCreateWindow(false);
    EXPECT_EQ(beginPlugin(MODULE), 0);
    EXPECT_EQ(tests::callsTo("MessageBoxA").size(), 1u);
}

TEST_F(PluginLifecycleTest, StyleChangeReappliesOnceAndReturnsZero) {
    ASSERT_EQ(beginPlugin(MODULE), 0);
    tests::useStyle({{"menu.title:", "flat"}, {"menu.title.color:", "#123456"}});
    const std::size_t defaulted = messagesTo("DefWindowProcA").size();

    EXPECT_EQ(SendMessageA(pluginWindow(), HOST_STYLECHANGED, 7, 9), 0);

    const auto applied = tests::callsTo("SetSysColors");
    ASSERT_EQ(applied.size(), 2u);
    EXPECT_EQ(applied[1].colors.size(), 10u);
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), tests::colorOf("#123456"));
    EXPECT_EQ(messagesTo("DefWindowProcA").size(), defaulted);
}

TEST_F(PluginLifecycleTest, OtherMessagesGoToTheDefaultProcedureUnchanged) {
    ASSERT_EQ(beginPlugin(MODULE), 0);
    HWND window = pluginWindow();

    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
    };
    for (const Case& c : {Case{WM_USER + 3, 11, -5, 0}, Case{HOST_STYLECHANGED + 1, 0, 0, 0},
                          Case{WM_NCCREATE, 1, 2, TRUE}, Case{WM_CLOSE, 0, 0, 0}}) {
        EXPECT_EQ(pluginWndProc(window, c.message, c.wParam, c.lParam), c.result);
        const Message last = messagesTo("DefWindowProcA").back();
        EXPECT_EQ(last.window, window);
        EXPECT_EQ(last.message, c.message);
        EXPECT_EQ(last.wParam, c.wParam);
        EXPECT_EQ(last.lParam, c.lParam);
    }
    EXPECT_EQ(tests::callsTo("SetSysColors").size(), 1u);
}

TEST_F(PluginLifecycleTest, CreationAndDestructionMessagesReachTheDefaultProcedure) {
    ASSERT_EQ(beginPlugin(MODULE), 0);
    HWND window = pluginWindow();
    endPlugin(MODULE);

    std::vector<UINT> messages;
    for (const Message& m : messagesTo("DefWindowProcA")) {
        if (m.window == window) {
            messages.push_back(m.message);
        }
    }
    EXPECT_THAT(messages, ElementsAre(WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY));
}

TEST_F(PluginLifecycleTest, StopWithdrawsTheSameSubscriptionAndRemovesWindowAndClass) {
    ASSERT_EQ(beginPlugin(MODULE), 0);
    HWND window = pluginWindow();
    const std::size_t before = standin::calls().size();

    EXPECT_NE(endPlugin(MODULE), 0);

    const auto sent = sentToHost();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].message, 10002u);
    EXPECT_EQ(sent[1].wParam, sent[0].wParam);
    EXPECT_EQ(sent[1].lParam, sent[0].lParam);
    EXPECT_EQ(sent[1].wParam, reinterpret_cast<WPARAM>(window));
    EXPECT_TRUE(standin::styleChangeSubscribers().empty());
    EXPECT_THAT(pluginCalls(before),
                ElementsAre("SendMessageA", "DestroyWindow", "UnregisterClassA"));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(win32_standin::findClass("Tintlet"), nullptr);
}

TEST_F(PluginLifecycleTest, StopReportsWhenTheClassCouldNotBeRemoved) {
    ASSERT_EQ(beginPlugin(MODULE), 0);
    HINSTANCE const otherModule = reinterpret_cast<HINSTANCE>(0x20000000);

    EXPECT_EQ(endPlugin(otherModule), 0);
    EXPECT_NE(win32_standin::findClass("Tintlet"), nullptr);
}

TEST_F(PluginLifecycleTest, ColoursStayAsLastAppliedAfterStop) {
    tests::useStyle({{"window.label.focus:", "solid"}, {"window.label.focus.color:", "#c0ffee"}});
    ASSERT_EQ(beginPlugin(MODULE), 0);
    endPlugin(MODULE);

    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), tests::colorOf("#c0ffee"));
    EXPECT_EQ(tests::callsTo("SetSysColors").size(), 1u);
}
