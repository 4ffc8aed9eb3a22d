#include "tools/preview/child_process.h"

#include <cerrno>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace preview {
namespace {

using Clock = std::chrono::steady_clock;

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Milliseconds left until the deadline, for poll; never negative.
int millisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() <= 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 1 << 30));
}

std::vector<std::string> environmentFor(const ChildOptions& options) {
    std::vector<std::string> variables;
    auto replaced = [&](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('='));
        for (const std::string& added : options.environment) {
            if (added.compare(0, name.size() + 1, name + "=") == 0) {
                return true;
            }
        }
        for (const std::string& removed : options.unset) {
            if (removed == name) {
                return true;
            }
        }
        return false;
    };
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!replaced(*entry)) {
            variables.push_back(*entry);
        }
    }
    variables.insert(variables.end(), options.environment.begin(), options.environment.end());
    return variables;
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void becomeChild(char* const* argv, char* const* envp, const ChildOptions& options,
                              int input, int output, int errors, int failure) {
    // Ends with the tool, should the tool be killed outright.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal : {SIGINT, SIGTERM, SIGPIPE, SIGHUP}) {
        sigaction(signal, &byDefault, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (dup2(input >= 0 ? input : null, STDIN_FILENO) < 0 ||
        (output >= 0 && dup2(output, STDOUT_FILENO) < 0) ||
        (errors >= 0 && dup2(errors, STDERR_FILENO) < 0) ||
        (options.passDescriptor >= 0 && fcntl(options.passDescriptor, F_SETFD, 0) < 0) ||
        (!options.directory.empty() && chdir(options.directory.c_str()) < 0)) {
        const int reason = errno;
        (void)!::write(failure, &reason, sizeof reason);
        _exit(127);
    }
    execvpe(argv[0], argv, envp);
    const int reason = errno;
    (void)!::write(failure, &reason, sizeof reason);
    _exit(127);
}

} // namespace

ChildProcess::~ChildProcess() {
    end();
}

bool ChildProcess::start(const std::vector<std::string>& command, const ChildOptions& options,
                         std::string* error) {
    int input[2] = {-1, -1}, output[2] = {-1, -1}, errors[2] = {-1, -1}, failure[2] = {-1, -1};
    auto closeAll = [&] {
        for (int* pair : {input, output, errors, failure}) {
            closeFd(pair[0]);
            closeFd(pair[1]);
        }
    };
    if ((options.writeInput && pipe2(input, O_CLOEXEC) < 0) ||
        (options.readOutput && pipe2(output, O_CLOEXEC) < 0) ||
        (options.readErrors && pipe2(errors, O_CLOEXEC) < 0) || pipe2(failure, O_CLOEXEC) < 0) {
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
        closeAll();
        return false;
    }
    std::vector<std::string> environment = environmentFor(options);
    std::vector<char*> argv, envp;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) {
        *error = std::string("cannot start ") + command[0] + ": " + std::strerror(errno);
        closeAll();
        return false;
    }
    if (pid == 0) {
        becomeChild(argv.data(), envp.data(), options, input[0], output[1], errors[1], failure[1]);
    }
    closeFd(input[0]);
    closeFd(output[1]);
    closeFd(errors[1]);
    closeFd(failure[1]);
    int reason = 0;
    ssize_t got;
    do {
        got = ::read(failure[0], &reason, sizeof reason);
    } while (got < 0 && errno == EINTR);
    closeFd(failure[0]);
    pid_ = pid;
    input_ = input[1];
    output_ = output[0];
    errorPipe_ = errors[0];
    if (got == sizeof reason) {
        end();
        *error = "cannot run " + command[0] + ": " + std::strerror(reason);
        return false;
    }
    pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    return true;
}

void ChildProcess::drainErrors() {
    char buffer[4096];
    while (errorPipe_ >= 0) {
        pollfd ready = {errorPipe_, POLLIN, 0};
        if (poll(&ready, 1, 0) <= 0) {
            return;
        }
        const ssize_t got = ::read(errorPipe_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            closeFd(errorPipe_);
            return;
        }
        // Only the end is of use in a message; a chatty program must not fill memory.
        errors_.append(buffer, static_cast<std::size_t>(got));
        if (errors_.size() > 65536) {
            errors_.erase(0, errors_.size() - 32768);
        }
    }
}

int ChildProcess::wait(Clock::time_point deadline, const std::atomic<bool>& stop) {
    if (pid_ <= 0) {
        return -1;
    }
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno == ECHILD)) {
            drainErrors();
            pid_ = -1;
            closeFd(pidfd_);
            return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
        }
        if (stop || Clock::now() >= deadline) {
            return -1;
        }
        // Woken when it ends, by its standard error, or by a signal; without a pidfd, in steps.
        pollfd watched[2] = {{pidfd_, POLLIN, 0}, {errorPipe_, POLLIN, 0}};
        const int timeout =
            pidfd_ >= 0 ? millisecondsUntil(deadline) : std::min(millisecondsUntil(deadline), 20);
        if (poll(watched, 2, timeout) > 0 && (watched[1].revents & (POLLIN | POLLHUP)) != 0) {
            drainErrors();
        }
    }
}

bool ChildProcess::readLine(std::string* line, Clock::time_point deadline,
                            const std::atomic<bool>& stop) {
    for (;;) {
        std::size_t end = pending_.find('\n');
        if (end == std::string::npos && output_ < 0 && !pending_.empty()) {
            end = pending_.size(); // the last line, without its newline
        }
        if (end != std::string::npos) {
            *line = pending_.substr(0, end);
            if (!line->empty() && line->back() == '\r') {
                line->pop_back();
            }
            pending_.erase(0, end + 1);
            return true;
        }
        if (!readMore(deadline, stop)) {
            return false;
        }
    }
}

bool ChildProcess::readAll(std::string* data, Clock::time_point deadline,
                           const std::atomic<bool>& stop) {
    while (output_ >= 0) {
        if (!readMore(deadline, stop)) {
            return false;
        }
    }
    *data = std::move(pending_);
    pending_.clear();
    return true;
}

bool ChildProcess::readMore(Clock::time_point deadline, const std::atomic<bool>& stop) {
    while (output_ >= 0 && !stop && Clock::now() < deadline) {
        pollfd watched[2] = {{output_, POLLIN, 0}, {errorPipe_, POLLIN, 0}};
        if (poll(watched, 2, millisecondsUntil(deadline)) <= 0) {
            continue; // a signal, or the deadline: looked at above
        }
        if ((watched[1].revents & (POLLIN | POLLHUP)) != 0) {
            drainErrors();
        }
        if ((watched[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        char buffer[65536];
        const ssize_t got = ::read(output_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            closeFd(output_); // the end of its output
        } else {
            pending_.append(buffer, static_cast<std::size_t>(got));
        }
        return true;
    }
    return false;
}

bool ChildProcess::write(const std::string& text) {
    if (input_ < 0) {
        return false;
    }
    // A reader that has gone would raise SIGPIPE and end the tool: held back, then taken.
    sigset_t pipeSignal, before;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigprocmask(SIG_BLOCK, &pipeSignal, &before);
    int failure = 0;
    for (std::size_t done = 0; done < text.size() && failure == 0;) {
        const ssize_t written = ::write(input_, text.data() + done, text.size() - done);
        failure = written >= 0 ? 0 : errno == EINTR ? 0 : errno;
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    const timespec now = {0, 0};
    if (failure == EPIPE) {
        sigtimedwait(&pipeSignal, nullptr, &now);
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return failure == 0;
}

void ChildProcess::closeInput() {
    closeFd(input_);
}

std::string ChildProcess::lastError() {
    drainErrors();
    std::string said = errors_;
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r')) {
        said.pop_back();
    }
    const std::size_t start = said.rfind('\n');
    return start == std::string::npos ? said : said.substr(start + 1);
}

void ChildProcess::end() {
    closeFd(input_);
    if (pid_ > 0) {
        const std::atomic<bool> never{false};
        kill(pid_, SIGTERM);
        if (wait(Clock::now() + std::chrono::seconds(2), never) < 0 && pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    closeFd(pidfd_);
    closeFd(output_);
    closeFd(errorPipe_);
}

namespace {

// The tool's own children, as the kernel lists them for each of its threads.
std::vector<pid_t> children() {
    std::vector<pid_t> found;
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) {
        return found;
    }
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.') {
            continue;
        }
        std::ifstream list(std::string("/proc/self/task/") + task->d_name + "/children");
        pid_t pid;
        while (list >> pid) {
            found.push_back(pid);
        }
    }
    closedir(tasks);
    return found;
}

bool reapAll() {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    return children().empty();
}

} // namespace

void adoptDescendants() {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
}

void endDescendants() {
    for (int signal : {SIGTERM, SIGKILL}) {
        if (reapAll()) {
            return;
        }
        for (pid_t pid : children()) {
            kill(pid, signal);
        }
        // A short grace for SIGTERM; SIGKILL cannot be refused.
        const auto deadline = Clock::now() + std::chrono::seconds(2);
        while (!reapAll() && Clock::now() < deadline) {
            const timespec pause = {0, 10 * 1000 * 1000};
            nanosleep(&pause, nullptr);
        }
    }
    reapAll();
}

int runCommand(const std::vector<std::string>& command, const ChildOptions& options,
               std::chrono::seconds timeout, const std::atomic<bool>& stop, std::string* error,
               std::string* output) {
    ChildOptions withOutput = options;
    withOutput.readOutput = output != nullptr;
    withOutput.readErrors = true;
    ChildProcess child;
    if (!child.start(command, withOutput, error)) {
        return -1;
    }
    const auto deadline = Clock::now() + timeout;
    if (output != nullptr) {
        child.readAll(output, deadline, stop);
    }
    const int status = child.wait(deadline, stop);
    if (status < 0) {
        child.end();
        *error =
            command[0] +
            (stop ? " was stopped" : " took longer than " + std::to_string(timeout.count()) + " s");
        return -1;
    }
    if (status != 0) {
        const std::string said = child.lastError();
        *error = command[0] + " failed (exit status " + std::to_string(status) + ")" +
                 (said.empty() ? "" : ": " + said);
    }
    return status;
}

} // namespace preview
