// A whole host session over style files, as the tools and Marlwood.exe run one.
#include "standin/session.h"

#include "standin/host.h"
#include "tests/temp_style.h"
#include "win32/win32_standin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

class SessionTest : public testing::Test {
  protected:
    void SetUp() override {
        standin::destroyMainWindow();
        win32_standin::reset();
    }

    // runStyles' exit status, standard output and error.
    struct Run {
        int status;
        std::string out, err;
    };
    Run run(const std::vector<std::string>& styles) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        Run result{standin::runStyles(styles, out, err), read(out), read(err)};
        std::fclose(out);
        std::fclose(err);
        return result;
    }

    static std::string read(std::FILE* file) {
        std::string text;
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;) {
            text += static_cast<char>(c);
        }
        return text;
    }
};

TEST_F(SessionTest, RunPrintsTheWindowColourAndTheTenColoursAfterEachStep) {
    const std::string red =
        tests::writeStyle("red.style", "window.label.focus: solid\n"
                                       "window.label.focus.color: #ff0000\n"
                                       "menu.title: flat\nmenu.title.color: #00ff00\n");
    const std::string plain = tests::writeStyle("plain.style", "! nothing set\n");

    const Run result = run({red, plain});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "window colour #ffffff\n"
                          "style " +
                              red +
                              "\n"
                              "COLOR_ACTIVECAPTION 2 #ff0000\n"
                              "COLOR_GRADIENTACTIVECAPTION 27 #ff0000\n"
                              "COLOR_CAPTIONTEXT 9 #ffffff\n"
                              "COLOR_INACTIVECAPTION 3 #0a246a\n"
                              "COLOR_GRADIENTINACTIVECAPTION 28 #a6caf0\n"
                              "COLOR_INACTIVECAPTIONTEXT 19 #d4d0c8\n"
                              "COLOR_HIGHLIGHT 13 #00ff00\n"
                              "COLOR_HIGHLIGHTTEXT 14 #ffffff\n"
                              "COLOR_INFOBK 24 #00ff00\n"
                              "COLOR_INFOTEXT 23 #000000\n"
                              "style " +
                              plain +
                              "\n"
                              "COLOR_ACTIVECAPTION 2 #0a246a\n"
                              "COLOR_GRADIENTACTIVECAPTION 27 #a6caf0\n"
                              "COLOR_CAPTIONTEXT 9 #ffffff\n"
                              "COLOR_INACTIVECAPTION 3 #0a246a\n"
                              "COLOR_GRADIENTINACTIVECAPTION 28 #a6caf0\n"
                              "COLOR_INACTIVECAPTIONTEXT 19 #d4d0c8\n"
                              "COLOR_HIGHLIGHT 13 #0a246a\n"
                              "COLOR_HIGHLIGHTTEXT 14 #ffffff\n"
                              "COLOR_INFOBK 24 #ffffe1\n"
                              "COLOR_INFOTEXT 23 #000000\n");
    EXPECT_TRUE(win32_standin::windows().empty()) << "the host's window went with the session";
    EXPECT_TRUE(win32_standin::classes().empty());
}

TEST_F(SessionTest, RunStopsAtAStyleItCannotRead) {
    const std::string plain = tests::writeStyle("plain.style", "");
    const struct {
        std::vector<std::string> styles;
        std::size_t blocks;
    } cases[] = {{{"/nonexistent/first.style"}, 0}, {{plain, "/nonexistent/later.style"}, 1}};
    for (const auto& c : cases) {
        SetUp();
        const Run result = run(c.styles);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err,
                  "cannot read style \"" + c.styles.back() + "\": No such file or directory\n");
        std::size_t blocks = 0;
        for (std::size_t at = result.out.find("style "); at != std::string::npos;
             at = result.out.find("style ", at + 1)) {
            ++blocks;
        }
        EXPECT_EQ(blocks, c.blocks) << result.out;
        EXPECT_TRUE(win32_standin::windows().empty()) << "nothing left running";
    }
}

TEST_F(SessionTest, RunReportsAPluginThatDoesNotStart) {
    standin::PluginModule plugin;
    ASSERT_TRUE(standin::loadPlugin("", &plugin, nullptr));
    WNDCLASSA taken{};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = plugin.instance;
    taken.lpszClassName = "Tintlet";
    ASSERT_NE(RegisterClassA(&taken), 0);

    const Run result = run({tests::writeStyle("plain.style", "")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "the plug-in failed to start\n");
}

TEST_F(SessionTest, EndingTheSessionStopsThePluginAndLeavesAnExistingHostWindow) {
    HWND host = standin::createMainWindow(GetModuleHandleA(nullptr));
    {
        standin::Session session;
        std::string error;
        ASSERT_TRUE(session.load(tests::writeStyle("plain.style", ""), &error)) << error;
        ASSERT_EQ(session.start(), 0);
        EXPECT_EQ(standin::styleChangeSubscribers().size(), 1u);
    }
    EXPECT_TRUE(standin::styleChangeSubscribers().empty());
    EXPECT_EQ(win32_standin::findClass("Tintlet"), nullptr);
    EXPECT_TRUE(IsWindow(host)) << "not the session's to destroy";
    standin::destroyMainWindow();
}

} // namespace
