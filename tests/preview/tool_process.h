// The built tintlet-preview as a process of its own, for what a pipe to popen cannot show: a
// terminal, signals, and a time limit on every wait.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

namespace tooltest {

// A tool that is still running when its Tool goes, as when a test stops at a failed assertion,
// is killed and reaped, so no test leaves one behind.
struct Tool {
    pid_t pid = -1;  // none when it could not be started
    int output = -1; // standard output and error, merged
    std::string text;

    Tool() = default;
    Tool(Tool&& other) noexcept;
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;
    ~Tool();
};

// Starts the tool with arguments; environment entries "NAME=value" replace or add to the
// test's own, "NAME" alone removes one. On a terminal of its own (a pseudo-terminal) when
// terminal is set, else on a pipe.
Tool startTool(const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment = {}, bool terminal = false);

// Where the tool's standard output goes when it is not what the test reads: standard error is.
enum class BadOutput {
    Full,       // a device that is always full
    Closed,     // no standard output at all
    BrokenPipe, // a pipe with no reader, and SIGPIPE ignored
};
Tool startToolWritingTo(BadOutput output, const std::vector<std::string>& arguments);

// Reads the tool's output until it holds marker; false when the limit passed or the output ended
// first.
bool readUntil(Tool& tool, const std::string& marker, std::chrono::milliseconds limit);

// Reads the tool's output to its end and reaps it: its wait status, or -1 when it outlived the
// limit (it is then killed) or never started.
int finish(Tool& tool, std::chrono::milliseconds limit);

} // namespace tooltest
