// The built tool stopped by signals, and on a terminal of its own.
#include "tool_process.h"
#include "tests/temp_style.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using tooltest::finish;
using tooltest::readUntil;
using tooltest::startTool;

const std::string SLATE = std::string(STYLES_DIR) + "/slate-solid.style";

struct Signal {
    int number;
    const char* name;
};
const Signal signals[] = {{SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}};

TEST(ToolSignals, EndTheToolAtOnceInABlockingCall) {
    for (const Signal& signal : signals) {
        // Writing the picture into a FIFO nobody reads blocks in open().
        const std::string fifo = testing::TempDir() + "blocking-" + signal.name + ".svg";
        unlink(fifo.c_str());
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        tooltest::Tool tool = startTool({"--svg", fifo, SLATE});
        ASSERT_TRUE(readUntil(tool, "highlight on window", 20s)) << tool.text;
        kill(tool.pid, signal.number);
        const int status = finish(tool, 20s);
        ASSERT_NE(status, -1) << signal.name << " did not end the tool";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal.number) << signal.name;
        unlink(fifo.c_str());
    }
}

TEST(ToolSignals, EndTheWatchLoopWithSuccess) {
    for (const Signal& signal : signals) {
        const std::string path =
            tests::writeStyle(std::string("watched-") + signal.name + ".style",
                              "menu.hilite: flat\nmenu.hilite.color: #112233\n");
        tooltest::Tool tool = startTool({"--watch", path});
        ASSERT_TRUE(readUntil(tool, "(Ctrl+C stops)\n", 20s)) << tool.text;
        kill(tool.pid, signal.number);
        const int status = finish(tool, 20s);
        ASSERT_NE(status, -1) << signal.name << " did not end the watch";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << signal.name << tool.text;
    }
}

TEST(ToolTerminal, SwatchesOnlyWhereColourIsWanted) {
    const struct {
        std::vector<std::string> environment;
        bool swatches;
    } cases[] = {
        {{"NO_COLOR", "TERM=xterm-256color"}, true},
        {{"NO_COLOR=", "TERM=xterm-256color"}, true}, // set but empty: not a request
        {{"NO_COLOR=1", "TERM=xterm-256color"}, false},
        {{"NO_COLOR", "TERM=dumb"}, false},
    };
    for (const auto& c : cases) {
        tooltest::Tool tool = startTool({SLATE}, c.environment, true);
        const int status = finish(tool, 20s);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << tool.text;
        EXPECT_NE(tool.text.find("COLOR_INFOTEXT"), std::string::npos) << tool.text;
        EXPECT_EQ(tool.text.find("\x1b[") != std::string::npos, c.swatches)
            << c.environment[0] << " " << c.environment[1];
    }
}

} // namespace
