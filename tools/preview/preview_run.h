// One run of the preview: the plug-in in the stand-in host, started with the first style and
// taken through each further one, reporting the colours it applied after every step.
#pragma once

#include "tools/preview/preview_options.h"

#include <ostream>
#include <string>

namespace preview {

struct Output {
    std::ostream& out; // reports and the trace
    std::ostream& err; // errors and style problems
    bool swatches;     // colour swatches in the report (a terminal)
};

// The path the host gives the plug-in for a style file: absolute, as the real host gives it.
std::string hostPathOf(const std::string& path);

// Why the plug-in cannot use a host path (it is too long for its copy, and every lookup then gives
// its default), in the words the report and the screenshots share; "" when it can.
std::string pathTooLong(const std::string& hostPath);

// Prints "tintlet-preview: MESSAGE" (made printable) on output.err; returns status.
int fail(const Output& output, const std::string& message, int status = 1);

// The styles in options must be given (the tool puts the bundled one there when none is).
// Returns the exit status: 0; 1 after printing one "tintlet-preview: ..." line to err, or when
// the report could not be written; 2 when a picture would replace a style of the run; 3 with
// --strict after a warning. A stop signal ends the tool (see stop_signals.h).
int runPreview(const Options& options, const Output& output);

} // namespace preview
