#include "tool_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <utility>

extern char** environ;

namespace tooltest {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> environmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> entries;
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; *e != nullptr; ++e) {
        bool replaced = false;
        for (const std::string& change : changes) {
            replaced = replaced || nameOf(change) == nameOf(*e);
        }
        if (!replaced) {
            entries.push_back(*e);
        }
    }
    for (const std::string& change : changes) {
        if (change.find('=') != std::string::npos) {
            entries.push_back(change);
        }
    }
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> list;
    for (std::string& text : texts) {
        list.push_back(text.data());
    }
    list.push_back(nullptr);
    return list;
}

// In the child: what a test runner started without job control ignores or blocks would
// otherwise be inherited, and the tool would keep a signal the test sends it.
void defaultSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

// One read of what is there, waiting at most until deadline; false at the end of the output.
bool readSome(Tool& tool, Clock::time_point deadline, bool* timedOut) {
    if (tool.output < 0) {
        return false;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
        *timedOut = true;
        return false;
    }
    pollfd ready{tool.output, POLLIN, 0};
    const int polled = poll(&ready, 1, static_cast<int>(left));
    if (polled < 0 && errno == EINTR) {
        return true;
    }
    if (polled == 0) {
        *timedOut = true;
        return false;
    }
    char buffer[4096];
    const ssize_t count = read(tool.output, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) {
        return true;
    }
    if (count <= 0) { // a pseudo-terminal ends with EIO once the tool has gone
        return false;
    }
    tool.text.append(buffer, static_cast<std::size_t>(count));
    return true;
}

// Starts the tool with its standard error on a pipe the test reads; arrange(pipe) gives it its
// standard output, in the child.
Tool startOnPipe(std::vector<char*>& argPointers, std::vector<char*>& envPointers,
                 const std::function<void(int pipe)>& arrange) {
    Tool tool;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return tool;
    }
    tool.pid = fork();
    if (tool.pid == 0) {
        defaultSignals();
        dup2(pipeEnds[1], STDERR_FILENO);
        arrange(pipeEnds[1]);
        execve(argPointers[0], argPointers.data(), envPointers.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    if (tool.pid < 0) {
        close(pipeEnds[0]);
        return tool;
    }
    tool.output = pipeEnds[0];
    return tool;
}

} // namespace

Tool startTool(const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment, bool terminal) {
    std::vector<std::string> argv = {PREVIEW_TOOL};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = environmentWith(environment);
    std::vector<char*> argPointers = pointers(argv), envPointers = pointers(envp);

    Tool tool;
    if (terminal) {
        int master = -1;
        tool.pid = forkpty(&master, nullptr, nullptr, nullptr);
        if (tool.pid == 0) {
            defaultSignals();
            execve(argPointers[0], argPointers.data(), envPointers.data());
            _exit(127);
        }
        tool.output = tool.pid > 0 ? master : -1;
        return tool;
    }
    return startOnPipe(argPointers, envPointers, [](int pipe) { dup2(pipe, STDOUT_FILENO); });
}

Tool startToolWritingTo(BadOutput output, const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {PREVIEW_TOOL};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = environmentWith({});
    std::vector<char*> argPointers = pointers(argv), envPointers = pointers(envp);
    int unread[2];
    if (pipe2(unread, O_CLOEXEC) != 0) {
        return Tool();
    }
    close(unread[0]); // gone before the tool can write
    Tool tool = startOnPipe(argPointers, envPointers, [&](int) {
        switch (output) {
        case BadOutput::Full:
            dup2(open("/dev/full", O_WRONLY | O_CLOEXEC), STDOUT_FILENO);
            break;
        case BadOutput::Closed:
            close(STDOUT_FILENO);
            break;
        case BadOutput::BrokenPipe:
            dup2(unread[1], STDOUT_FILENO);
            std::signal(SIGPIPE, SIG_IGN);
            break;
        }
    });
    close(unread[1]);
    return tool;
}

bool readUntil(Tool& tool, const std::string& marker, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    bool timedOut = false;
    while (tool.text.find(marker) == std::string::npos) {
        if (!readSome(tool, deadline, &timedOut)) {
            return false;
        }
    }
    return true;
}

int finish(Tool& tool, std::chrono::milliseconds limit) {
    if (tool.pid <= 0) {
        return -1; // never started: nothing to signal or reap
    }
    const auto deadline = Clock::now() + limit;
    bool timedOut = false;
    while (readSome(tool, deadline, &timedOut)) {
    }
    if (timedOut) {
        kill(tool.pid, SIGKILL);
    }
    int status = 0;
    const bool reaped = waitpid(tool.pid, &status, 0) == tool.pid;
    tool.pid = -1;
    close(tool.output);
    tool.output = -1;
    return timedOut || !reaped ? -1 : status;
}

Tool::Tool(Tool&& other) noexcept
    : pid(other.pid), output(other.output), text(std::move(other.text)) {
    other.pid = -1;
    other.output = -1;
}

Tool::~Tool() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (output >= 0) {
        close(output);
    }
}

} // namespace tooltest
