// Programs the preview runs (Xvfb, Wine, ImageMagick): started with pipes, waited for with a time
// limit, and never left running.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace preview {

struct ChildOptions {
    std::vector<std::string> environment; // NAME=VALUE, added to the tool's own
    std::vector<std::string> unset;       // names taken out of it
    std::string directory;                // where it runs; empty: here
    bool writeInput = false;              // a pipe to its standard input, else /dev/null
    bool readOutput = false;              // a pipe from its standard output, else the tool's
    bool readErrors = false;              // a pipe from its standard error, else the tool's
    int passDescriptor = -1;              // kept open in the child under the same number
};

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Ends it if still running (SIGTERM, then SIGKILL) and reaps it.
    ~ChildProcess();

    // False, with the reason, when it cannot be started (a missing program included).
    bool start(const std::vector<std::string>& command, const ChildOptions& options,
               std::string* error);

    // Waits for it to end until the deadline or until stop is set: its exit status (128 + the
    // signal when a signal ended it), or -1 when it has not ended.
    int wait(std::chrono::steady_clock::time_point deadline, const std::atomic<bool>& stop);

    // Reads one line of its standard output (without the newline) until the deadline or stop.
    // False at the end of the output, on the deadline or on stop.
    bool readLine(std::string* line, std::chrono::steady_clock::time_point deadline,
                  const std::atomic<bool>& stop);

    // Reads the rest of its standard output until its end, the deadline or stop; false unless
    // the end was reached.
    bool readAll(std::string* data, std::chrono::steady_clock::time_point deadline,
                 const std::atomic<bool>& stop);

    // Writes text to its standard input; false when it cannot (the program has gone).
    bool write(const std::string& text);
    void closeInput();

    // The last line of its standard error read so far (with readErrors), "" when it said nothing.
    std::string lastError();

    // SIGTERM, and SIGKILL when it has not ended after a short grace; then reaped.
    void end();

    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

  private:
    // Reads what has come of its standard output: false on the deadline, on stop, or when it has
    // all been read.
    bool readMore(std::chrono::steady_clock::time_point deadline, const std::atomic<bool>& stop);
    // Reads what its standard error has ready, without waiting.
    void drainErrors();

    pid_t pid_ = -1;
    int pidfd_ = -1;
    int input_ = -1;
    int output_ = -1;
    int errorPipe_ = -1;
    std::string pending_;
    std::string errors_;
};

// Makes the tool the parent of every process its children leave behind (Wine starts servers
// that leave their parents), so that endDescendants can find and reap them.
void adoptDescendants();
// Ends every process left below the tool (SIGTERM, a grace, SIGKILL) and reaps them all.
void endDescendants();

// Runs a command to its end: its exit status, or -1 (with error) when it could not start, took
// longer than timeout (it is then ended) or stop was set. Its output goes to *output when given.
int runCommand(const std::vector<std::string>& command, const ChildOptions& options,
               std::chrono::seconds timeout, const std::atomic<bool>& stop, std::string* error,
               std::string* output = nullptr);

} // namespace preview
