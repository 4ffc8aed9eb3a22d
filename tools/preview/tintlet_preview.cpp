// tintlet-preview: shows what a style makes the plug-in do to the system colours.
#include "tools/preview/preview_options.h"
#include "tools/preview/preview_run.h"
#include "tools/preview/terminal_text.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace {

std::atomic<bool> interrupted{false};
volatile std::sig_atomic_t received = 0;

void onInterrupt(int signal) {
    received = signal;
    interrupted = true;
}

// Only the watch loop and a screenshot run have anything to finish: they stop at their next
// wait, which the signal wakes (no SA_RESTART). Everywhere else Ctrl+C and SIGTERM keep their
// default: end at once, even inside a blocking call.
void stopWatchingOn(int signal) {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(signal, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    preview::Options options;
    std::string error;
    if (!preview::parseOptions(argc, argv, &options, &error)) {
        std::cerr << "tintlet-preview: " << preview::printable(error) << "\n";
        return 2;
    }
    if (options.help) {
        std::cout << preview::usage();
        return 0;
    }
    if (options.styles.empty()) {
        options.styles.push_back(TINTLET_BUNDLED_STYLE);
    }
    const bool screenshots = !options.screenshotPath.empty();
    if (options.watch || screenshots) {
        stopWatchingOn(SIGINT);
        stopWatchingOn(SIGTERM);
    }
    const bool colors = preview::colorWanted(isatty(STDOUT_FILENO) != 0, std::getenv("NO_COLOR"),
                                             std::getenv("TERM"));
    const int status = preview::runPreview(options, {std::cout, std::cerr, colors}, interrupted);
    if (screenshots && received != 0) {
        // Xvfb and Wine are gone: now end as the signal would have, so a shell sees it.
        std::signal(received, SIG_DFL);
        std::raise(received);
    }
    return status;
}
