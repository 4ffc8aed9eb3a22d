// tintlet-preview: shows what a style makes the plug-in do to the system colours.
#include "tools/preview/preview_options.h"
#include "tools/preview/preview_run.h"
#include "tools/preview/stop_signals.h"
#include "tools/preview/style_keys.h"
#include "tools/preview/terminal_text.h"
#include "tools/preview/tool_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

// A report that could not be written is a failure: stdio says so at the latest when standard
// output is flushed and closed, with the system's reason.
int finish(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || std::fclose(stdout) != 0) {
        std::fprintf(stderr, "tintlet-preview: cannot write the report: %s\n",
                     std::strerror(errno != 0 ? errno : EIO));
        status = 1;
    }
    return std::ferror(stderr) != 0 ? 1 : status;
}

} // namespace

int main(int argc, char** argv) {
    // A standard descriptor that is closed gets /dev/null, read-only: no style or picture takes
    // its number, and a write to it fails as it would have.
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) < 0 && errno == EBADF) {
            ::open("/dev/null", O_RDONLY);
        }
    }
    preview::handleStopSignals();

    preview::Options options;
    std::string error;
    if (!preview::parseOptions(argc, argv, &options, &error)) {
        return finish(preview::fail({std::cout, std::cerr, false}, error, 2));
    }
    if (options.help || options.version || options.keys) {
        std::cout << (options.help      ? preview::usage()
                      : options.version ? "tintlet-preview " TINTLET_VERSION "\n"
                                        : preview::keyTable());
        return finish(0);
    }
    if (options.styles.empty()) { // the bundled style
        options.styles.push_back(
            preview::toolFile(preview::ToolFolder::Data, "styles/harbour-dusk.style"));
    }
    const bool colors = preview::colorWanted(isatty(STDOUT_FILENO) != 0, std::getenv("NO_COLOR"),
                                             std::getenv("TERM"));
    return finish(preview::runPreview(options, {std::cout, std::cerr, colors}));
}
