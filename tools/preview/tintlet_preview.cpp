// tintlet-preview: shows what a style makes the plug-in do to the system colours.
#include "tools/preview/output_file.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/preview_run.h"
#include "tools/preview/stop_signals.h"
#include "tools/preview/terminal_text.h"

#include <cstdlib>
#include <fcntl.h>
#include <ostream>
#include <unistd.h>

namespace {

// A report that could not be written is a failure, said on standard error where it can be.
int finish(int status, preview::OutputFile& out, std::ostream& outStream, preview::OutputFile& err,
           std::ostream& errStream) {
    outStream.flush();
    if (out.failed()) {
        errStream << "tintlet-preview: cannot write the report: " << out.reason() << "\n";
        status = 1;
    }
    errStream.flush();
    return err.failed() ? 1 : status;
}

} // namespace

int main(int argc, char** argv) {
    // Neither a style nor a picture may take the number of a standard descriptor that is closed.
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0) {
        ::open("/dev/null", O_RDONLY);
    }
    preview::OutputFile out(STDOUT_FILENO), err(STDERR_FILENO);
    std::ostream outStream(&out), errStream(&err);
    preview::handleStopSignals();

    preview::Options options;
    std::string error;
    if (!preview::parseOptions(argc, argv, &options, &error)) {
        errStream << "tintlet-preview: " << preview::printable(error) << "\n";
        return finish(2, out, outStream, err, errStream);
    }
    if (options.help) {
        outStream << preview::usage();
        return finish(0, out, outStream, err, errStream);
    }
    if (options.styles.empty()) {
        options.styles.push_back(TINTLET_BUNDLED_STYLE);
    }
    const bool colors = preview::colorWanted(isatty(STDOUT_FILENO) != 0, std::getenv("NO_COLOR"),
                                             std::getenv("TERM"));
    const int status = preview::runPreview(options, {outStream, errStream, colors});
    return finish(status, out, outStream, err, errStream);
}
