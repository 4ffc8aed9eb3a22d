// One run of the preview: the plug-in in the stand-in host, started with the first style and
// taken through each further one, reporting the colours it applied after every step.
#pragma once

#include "tools/preview/preview_options.h"

#include <atomic>
#include <ostream>

namespace preview {

struct Output {
    std::ostream& out; // reports and the trace
    std::ostream& err; // errors and style problems
    bool swatches;     // colour swatches in the report (a terminal)
};

// The styles in options must be given (the tool puts the bundled one there when none is).
// Returns the exit status: 0, or 1 after printing one "tintlet-preview: ..." line to err.
int runPreview(const Options& options, const Output& output, const std::atomic<bool>& stop);

} // namespace preview
