// Ctrl+C and SIGTERM as a shell expects: the tool ends by the signal it received, so a shell sees
// 130 or 143 and a loop over styles stops. It ends at once, wherever it is, unless it holds
// something that must be put right first (the programs a screenshot runs, a picture half
// written): then the signal sets the stop flag, the work in hand ends at its next wait, and the
// tool ends by the signal as soon as that is done.
#pragma once

#include <atomic>
#include <sys/types.h>

namespace preview {

// Handles SIGINT and SIGTERM as above, from here on.
void handleStopSignals();

// Set by a stop signal received while some CleanupFirst lives.
const std::atomic<bool>& stopRequested();

// From here on a stop signal is also sent to process (a program that ends by it, cleaning up);
// 0 sends it to none. A stop signal received before is sent at once.
void forwardStopSignals(pid_t process);

// While one lives, a stop signal only sets the stop flag; the last one to go ends the tool by
// the signal received meanwhile.
class CleanupFirst {
  public:
    CleanupFirst();
    ~CleanupFirst();
    CleanupFirst(const CleanupFirst&) = delete;
    CleanupFirst& operator=(const CleanupFirst&) = delete;
};

} // namespace preview
