#include "tools/preview/stop_signals.h"

#include <csignal>
#include <unistd.h>

namespace preview {
namespace {

std::atomic<bool> stopFlag{false};
volatile std::sig_atomic_t received = 0;
std::atomic<int> cleanups{0};
std::atomic<pid_t> forwardTo{0};

// With its default action back, the signal ends the tool: at once, or, raised inside its own
// handler, where it is blocked, as soon as the handler returns.
void endBy(int signal) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void onStopSignal(int signal) {
    received = signal;
    stopFlag = true;
    if (forwardTo > 0) {
        kill(forwardTo, signal);
    }
    if (cleanups == 0) {
        endBy(signal);
    }
}

} // namespace

void handleStopSignals() {
    // No SA_RESTART: a wait the signal interrupts ends, and the stop flag is seen at once.
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

const std::atomic<bool>& stopRequested() {
    return stopFlag;
}

void forwardStopSignals(pid_t process) {
    forwardTo = process;
    if (process > 0 && received != 0) {
        kill(process, received);
    }
}

CleanupFirst::CleanupFirst() {
    ++cleanups;
}

CleanupFirst::~CleanupFirst() {
    if (--cleanups == 0 && received != 0) {
        endBy(received);
    }
}

} // namespace preview
