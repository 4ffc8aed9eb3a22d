#include "standin/host.h"

#include "host/marlwood.h"
#include "standin/call_record.h"
#include "standin/plugin_module.h"
#include "tests/temp_style.h"
#include "win32/win32_standin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <filesystem>
#include <fstream>

namespace {

const char* const SAMPLE = "window.label.focus: ParentRelative\n"
                           "window.title.focus.color: #102030\n"
                           "menu.title.color: not a colour\n"
                           "menu.frame.color: #abc\n";

class StandinHost : public testing::Test {
  protected:
    void SetUp() override {
        standin::destroyMainWindow();
        win32_standin::reset();
        standin::answerWith({});
        standin::setStyle("/styles/sample.style", SAMPLE);
    }
    void TearDown() override {
        standin::recordCalls(false);
        standin::answerWith({});
        standin::destroyMainWindow();
    }
};

TEST_F(StandinHost, ReadStringGivesTheValueOrTheDefault) {
    EXPECT_STREQ(ReadString("/styles/sample.style", "window.label.focus:", "parentrelative"),
                 "ParentRelative");
    EXPECT_STREQ(ReadString("/styles/sample.style", "WINDOW.TITLE.FOCUS.COLOR:", "x"), "#102030");
    EXPECT_STREQ(ReadString("/styles/sample.style", "menu.hilite:", "doesnotexist"),
                 "doesnotexist");
    EXPECT_STREQ(ReadString("/styles/sample.style", "menu.hilite:", nullptr), "");
}

TEST_F(StandinHost, ReadStringTextOutlivesTheCurrentStyle) {
    const char* text = ReadString("/styles/sample.style", "window.label.focus:", "");
    standin::setStyle("/styles/other.style", "window.label.focus: solid\n");
    EXPECT_STREQ(text, "ParentRelative") << "valid until the next call";
    EXPECT_STREQ(ReadString("/styles/other.style", "window.label.focus:", ""), "solid");
}

TEST_F(StandinHost, ReadColorParsesTheValueElseTheDefault) {
    const struct {
        const char* key;
        const char* defaultColor;
        COLORREF expected;
    } cases[] = {
        {"window.title.focus.color:", "#ffffff", RGB(0x10, 0x20, 0x30)},
        {"menu.frame.color:", "#ffffff", RGB(0xaa, 0xbb, 0xcc)},
        {"menu.title.color:", "#0a246a", RGB(0x0a, 0x24, 0x6a)},   // not a colour
        {"window.label.focus:", "#a6caf0", RGB(0xa6, 0xca, 0xf0)}, // a texture
        {"menu.hilite.color:", "#FFFFE1", RGB(0xff, 0xff, 0xe1)},  // absent
        {"menu.hilite.color:", "nonsense", 0},
        {"menu.hilite.color:", nullptr, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadColor("/styles/sample.style", c.key, c.defaultColor), c.expected)
            << c.key << " with " << (c.defaultColor ? c.defaultColor : "null");
    }
}

TEST_F(StandinHost, IsInStringIgnoresCase) {
    const struct {
        const char* text;
        const char* fragment;
        bool found;
    } cases[] = {
        {"ParentRelative", "parentrelative", true},
        {"Raised Gradient Solid", "solid", true},
        {"flat gradient vertical", "solid", false},
        {"Unsolidified", "solid", true},
        {"solid", "SOLID", true},
        {"", "solid", false},
        {"sol", "solid", false},
        {nullptr, "solid", false},
        {"solid", nullptr, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsInString(c.text, c.fragment), c.found)
            << (c.text ? c.text : "null") << " / " << (c.fragment ? c.fragment : "null");
    }
}

TEST_F(StandinHost, StylePathAndMainWindowAreTheCurrentOnes) {
    EXPECT_STREQ(stylePath(nullptr), "/styles/sample.style");
    EXPECT_EQ(GetMWWnd(), nullptr) << "no main window yet";
    HWND window = standin::createMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetMWWnd(), window);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(StandinHost, DestroyingTheMainWindowRemovesItsClass) {
    ASSERT_NE(standin::createMainWindow(GetModuleHandleA(nullptr)), nullptr);
    standin::destroyMainWindow();
    EXPECT_TRUE(win32_standin::windows().empty());
    EXPECT_TRUE(win32_standin::classes().empty());
    EXPECT_NE(standin::createMainWindow(GetModuleHandleA(nullptr)), nullptr) << "and again";
}

// A window of the test's own that records what reaches it.
std::vector<std::pair<HWND, UINT>> received;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == HOST_STYLECHANGED) {
        received.push_back({window, message});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND recordingWindow() {
    static const char name[] = "Recorder";
    if (win32_standin::findClass(name) == nullptr) {
        WNDCLASSA definition{};
        definition.lpfnWndProc = recordingProc;
        definition.lpszClassName = name;
        RegisterClassA(&definition);
    }
    return CreateWindowExA(0, name, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

class Subscriptions : public StandinHost {
  protected:
    void SetUp() override {
        StandinHost::SetUp();
        received.clear();
        host = standin::createMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(host, nullptr);
    }
    void send(UINT message, HWND window, const uint32_t* array) {
        SendMessageA(host, message, reinterpret_cast<WPARAM>(window),
                     reinterpret_cast<LPARAM>(array));
    }
    HWND host = nullptr;
};

TEST_F(Subscriptions, BroadcastReachesSubscribedWindowsOnly) {
    const uint32_t styleChanged[] = {HOST_STYLECHANGED, 0};
    const uint32_t otherMessages[] = {10200, 10201, 0};
    HWND first = recordingWindow(), second = recordingWindow(), other = recordingWindow(),
         bystander = recordingWindow();
    send(HOST_SUBSCRIBE, first, styleChanged);
    send(HOST_SUBSCRIBE, second, styleChanged);
    send(HOST_SUBSCRIBE, other, otherMessages);
    (void)bystander;

    EXPECT_EQ(standin::styleChangeSubscribers(), (std::vector<HWND>{first, second}));
    EXPECT_EQ(standin::broadcastStyleChanged(), 2);
    const std::vector<std::pair<HWND, UINT>> expected = {{first, HOST_STYLECHANGED},
                                                         {second, HOST_STYLECHANGED}};
    EXPECT_EQ(received, expected);
}

TEST_F(Subscriptions, TheArrayIsCopiedNotKept) {
    uint32_t array[] = {HOST_STYLECHANGED, 0};
    HWND window = recordingWindow();
    send(HOST_SUBSCRIBE, window, array);
    array[0] = 0xdead;
    EXPECT_EQ(standin::broadcastStyleChanged(), 1);
}

TEST_F(Subscriptions, StyleChangeFoundAnywhereInTheArray) {
    const uint32_t array[] = {10200, HOST_STYLECHANGED, 10201, 0};
    HWND window = recordingWindow();
    send(HOST_SUBSCRIBE, window, array);
    send(HOST_SUBSCRIBE, window, array);
    EXPECT_EQ(standin::broadcastStyleChanged(), 1) << "subscribing twice delivers once";
}

TEST_F(Subscriptions, UnsubscribedWindowNoLongerReceives) {
    const uint32_t array[] = {HOST_STYLECHANGED, 0};
    HWND stays = recordingWindow(), leaves = recordingWindow();
    send(HOST_SUBSCRIBE, stays, array);
    send(HOST_SUBSCRIBE, leaves, array);
    send(HOST_UNSUBSCRIBE, leaves, array);
    EXPECT_EQ(standin::broadcastStyleChanged(), 1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].first, stays);
}

TEST_F(Subscriptions, NullOrEmptyArraysSubscribeNothing) {
    const uint32_t empty[] = {0};
    send(HOST_SUBSCRIBE, recordingWindow(), nullptr);
    send(HOST_SUBSCRIBE, recordingWindow(), empty);
    send(HOST_SUBSCRIBE, nullptr, empty);
    EXPECT_EQ(standin::broadcastStyleChanged(), 0);
}

TEST_F(Subscriptions, DestroyedWindowIsNotSentTo) {
    const uint32_t array[] = {HOST_STYLECHANGED, 0};
    HWND gone = recordingWindow();
    send(HOST_SUBSCRIBE, gone, array);
    DestroyWindow(gone);
    EXPECT_EQ(standin::broadcastStyleChanged(), 0);
    EXPECT_TRUE(received.empty());
}

TEST_F(Subscriptions, OtherMessagesGoToTheDefaultProcedure) {
    standin::recordCalls(true);
    SendMessageA(host, WM_USER + 7, 1, 2);
    ASSERT_FALSE(standin::calls().empty());
    EXPECT_EQ(standin::calls().back().function, "DefWindowProcA");
    EXPECT_EQ(standin::calls().back().arguments[1], static_cast<UINT>(WM_USER + 7));
}

using StyleFiles = StandinHost;

TEST_F(StyleFiles, LoadingMakesTheStyleCurrent) {
    const std::string path = tests::writeStyle("loaded.style", "menu.title: Solid\nbroken line\n");
    std::string error;
    stylefile::StyleProblems problems;
    ASSERT_TRUE(standin::loadStyle(path, &error, &problems)) << error;
    EXPECT_EQ(standin::currentStylePath(), path);
    EXPECT_STREQ(stylePath(nullptr), path.c_str());
    EXPECT_STREQ(ReadString(path.c_str(), "menu.title:", ""), "Solid");
    ASSERT_EQ(problems.count, 1u);
    EXPECT_EQ(problems.first[0].line, 2);
}

TEST_F(StyleFiles, AnswersFromMemoryOnceLoaded) {
    const std::string path = tests::writeStyle("changing.style", "menu.title: before\n");
    ASSERT_TRUE(standin::loadStyle(path, nullptr));
    tests::writeStyle("changing.style", "menu.title: after\n");
    EXPECT_STREQ(ReadString(path.c_str(), "menu.title:", ""), "before");
}

TEST_F(StyleFiles, MissingOrUnreadableFileIsAnErrorNamingThePath) {
    const std::string missing = testing::TempDir() + "no-such.style";
    const std::string directory = testing::TempDir();
    for (const std::string& path : {missing, directory}) {
        std::string error;
        EXPECT_FALSE(standin::loadStyle(path, &error));
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(standin::currentStylePath(), "/styles/sample.style") << "unchanged";
        EXPECT_STREQ(ReadString("/styles/sample.style", "window.title.focus.color:", ""),
                     "#102030");
    }
}

TEST_F(StyleFiles, LookupsAnswerFromTheFileThePathNames) {
    const std::string other =
        tests::writeStyle("other.style", "window.title.focus.color: #405060\n");
    const std::string key = "window.title.focus.color:";
    const struct {
        std::string path;
        const char* value;
    } cases[] = {
        {"/styles/sample.style", "#102030"}, // the current style
        {other, "#405060"},                  // another file, read when asked for
        {"", "default"},                     // what the plug-in asks with when a path won't fit
        {testing::TempDir() + "no-such.style", "default"},
        {testing::TempDir(), "default"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(ReadString(c.path.c_str(), key.c_str(), "default"), c.value) << c.path;
    }
    EXPECT_EQ(ReadColor("", key.c_str(), "#0a246a"), RGB(0x0a, 0x24, 0x6a));
    EXPECT_EQ(standin::currentStylePath(), "/styles/sample.style") << "asking changes nothing";
}

// The record keeps what each call was given and how the host came by its answer; with
// recording off it keeps nothing.
TEST_F(StandinHost, EachCallIsRecordedWithWhatItWasGivenAndAnswered) {
    ReadString("/styles/sample.style", "menu.title:", "x");
    EXPECT_TRUE(standin::calls().empty()) << "not recording yet";
    standin::recordCalls(true);
    using From = standin::Call::From;
    const struct {
        std::function<void()> call;
        const char* function;
        std::vector<std::string> texts;
        std::string answer;
        standin::Call::From from;
        int line;
    } cases[] = {
        {[] { ReadString("/styles/sample.style", "window.label.focus:", "parentrelative"); },
         "ReadString",
         {"/styles/sample.style", "window.label.focus:", "parentrelative"},
         "ParentRelative",
         From::Line,
         1},
        {[] { ReadString("/styles/sample.style", "menu.hilite:", "parentrelative"); },
         "ReadString",
         {"/styles/sample.style", "menu.hilite:", "parentrelative"},
         "parentrelative",
         From::Absent,
         0},
        {[] { ReadColor("/styles/sample.style", "menu.title.color:", "#ffffe1"); },
         "ReadColor",
         {"/styles/sample.style", "menu.title.color:", "#ffffe1"},
         "#ffffe1",
         From::NotColor,
         3},
        {[] { ReadColor("/styles/sample.style", "menu.frame.color:", "#0a246a"); },
         "ReadColor",
         {"/styles/sample.style", "menu.frame.color:", "#0a246a"},
         "#aabbcc",
         From::Line,
         4},
        {[] { ReadColor("", "menu.frame.color:", "#0a246a"); },
         "ReadColor",
         {"", "menu.frame.color:", "#0a246a"},
         "#0a246a",
         From::NoStyle,
         0},
        {[] { IsInString("Solid", "solid"); },
         "IsInString",
         {"Solid", "solid"},
         "true",
         From::Line,
         0},
        {[] { stylePath(nullptr); }, "stylePath", {""}, "/styles/sample.style", From::Line, 0},
    };
    for (const auto& c : cases) {
        c.call();
        ASSERT_FALSE(standin::calls().empty()) << c.function;
        const standin::Call call = standin::takeCalls().back();
        EXPECT_EQ(call.function, c.function);
        EXPECT_EQ(call.texts, c.texts) << c.function;
        EXPECT_EQ(call.resultText, c.answer) << c.function;
        EXPECT_EQ(call.from, c.from) << c.function;
        EXPECT_EQ(call.line, c.line) << c.function;
    }
}

// What hosts built otherwise may answer: a null path, null texts, any nonzero truth byte.
TEST_F(StandinHost, AnswersAsATestSetsThem) {
    standin::Answers answers;
    answers.nullPath = answers.nullTexts = true;
    answers.foundByte = 0x80;
    standin::answerWith(answers);
    EXPECT_EQ(stylePath(nullptr), nullptr);
    EXPECT_EQ(ReadString("/styles/sample.style", "window.label.focus:", "x"), nullptr);
    EXPECT_EQ(IsInString("Solid", "solid"), 0x80);
    EXPECT_EQ(IsInString("Solid", "raised"), 0);
}

TEST_F(StandinHost, LinkedPluginStartsFollowsStyleChangesAndStops) {
    ASSERT_NE(standin::createMainWindow(GetModuleHandleA(nullptr)), nullptr);
    standin::PluginModule plugin;
    std::string error;
    ASSERT_TRUE(standin::loadPlugin("Tintlet.dll", &plugin, &error)) << error;
    ASSERT_EQ(plugin.begin(plugin.instance), 0);
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), RGB(0x10, 0x20, 0x30));
    ASSERT_EQ(standin::styleChangeSubscribers().size(), 1u);

    standin::setStyle("/styles/next.style", "window.title.focus.color: #405060\n");
    EXPECT_EQ(standin::broadcastStyleChanged(), 1);
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), RGB(0x40, 0x50, 0x60));

    EXPECT_NE(plugin.end(plugin.instance), 0);
    EXPECT_TRUE(standin::styleChangeSubscribers().empty());
    standin::unloadPlugin(&plugin);
    EXPECT_EQ(plugin.begin, nullptr);
}

} // namespace
