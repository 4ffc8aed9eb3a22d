// Screenshots of what Windows' own drawing code makes of the applied colours: the scene of
// Marlwood.exe (the real Tintlet.dll in the stand-in host) under Wine, in Wine's virtual desktop
// on a private virtual X server, all styles in one Wine session.
#pragma once

#include "tools/preview/applied_colors.h"
#include "tools/preview/preview_run.h"

#include <atomic>
#include <string>
#include <vector>

namespace preview {

struct ScreenshotPlan {
    std::string file;                  // as given on the command line
    std::vector<std::string> styles;   // the style files, in the order they are applied
    std::vector<AppliedColors> colors; // what the plug-in applied for each, natively
    COLORREF window = 0;               // the window colour the report assumed
    bool trace = false;
};

// Where each style's picture goes: file itself for one style; for several, the style's position
// and name go before the extension (out.png: out-1-harbour-dusk.png, out-2-slate-solid.png).
std::vector<std::string> screenshotFiles(const std::string& file,
                                         const std::vector<std::string>& styles);

// What a screenshot needs and this machine lacks, as one line that says how to install it;
// empty when nothing is missing.
std::string screenshotNeeds();

// Takes the pictures and checks each against the colours the plug-in applied. Returns 0, or 1
// after a line on output.err for each problem. Stops, cleaning up, when stop is set.
int takeScreenshots(const ScreenshotPlan& plan, const Output& output,
                    const std::atomic<bool>& stop);

} // namespace preview
