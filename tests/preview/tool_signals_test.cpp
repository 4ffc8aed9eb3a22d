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

// A shell sees 130 or 143: a loop over styles stops on Ctrl+C, and SIGTERM is no success.
TEST(ToolSignals, EndTheToolByTheSignalWhereverItIs) {
    // Hundreds of reports fill the pipe nobody reads: the tool waits in a write, in a pass.
    std::vector<std::string> manyStyles = {"--watch"};
    manyStyles.insert(manyStyles.end(), 400, SLATE);
    for (const Signal& signal : signals) {
        const std::string watched =
            tests::writeStyle(std::string("watched-") + signal.name + ".style",
                              "menu.hilite: flat\nmenu.hilite.color: #112233\n");
        const struct {
            const char* where;
            std::vector<std::string> arguments;
            const char* marker;
        } cases[] = {
            {"in a pass, blocked on its output", manyStyles, "start: "},
            {"waiting for the style to change", {"--watch", watched}, "(Ctrl+C stops)\n"},
        };
        for (const auto& c : cases) {
            tooltest::Tool tool = startTool(c.arguments);
            ASSERT_TRUE(readUntil(tool, c.marker, 20s)) << tool.text;
            kill(tool.pid, signal.number);
            const int status = finish(tool, 20s);
            ASSERT_NE(status, -1) << signal.name << " did not end the tool " << c.where;
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal.number)
                << signal.name << " " << c.where << ": "
                << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        }
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
