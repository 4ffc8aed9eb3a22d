// tintlet-preview: shows what a style makes the plug-in do to the system colours.
#include "tools/preview/preview_options.h"
#include "tools/preview/preview_run.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {

std::atomic<bool> interrupted{false};

void onInterrupt(int) {
    interrupted = true;
}

} // namespace

int main(int argc, char** argv) {
    preview::Options options;
    std::string error;
    if (!preview::parseOptions(argc, argv, &options, &error)) {
        std::cerr << "tintlet-preview: " << error << "\n";
        return 2;
    }
    if (options.help) {
        std::cout << preview::USAGE;
        return 0;
    }
    if (options.styles.empty()) {
        options.styles.push_back(TINTLET_BUNDLED_STYLE);
    }
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    return preview::runPreview(options, {std::cout, std::cerr, isatty(STDOUT_FILENO) != 0},
                               interrupted);
}
