// Screenshots of what Windows' own drawing code makes of the applied colours: the scene (the real
// Tintlet.dll in the stand-in host, scene/) under Wine, taken by screenshots.sh, all styles in one
// Wine session, and each picture checked against the colours the native plug-in applies when
// given the style's path as Wine's is given it.
#pragma once

#include "tools/preview/preview_run.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace preview {

struct ScreenshotPlan {
    std::string file;                // as given on the command line
    std::vector<std::string> styles; // the style files, in the order they are applied
    COLORREF window = 0;             // the window colour the report assumed
    bool trace = false;
};

// Where each style's picture goes: file itself for one style; for several, the style's position
// and name go before the extension (out.png: out-1-harbour-dusk.png, out-2-slate-solid.png).
std::vector<std::string> screenshotFiles(const std::string& file,
                                         const std::vector<std::string>& styles);

// What a screenshot needs and this installation or machine lacks, as one line that says how to
// get it; empty when nothing is missing.
std::string screenshotNeeds();

// Takes the pictures and checks each. Returns 0, or 1 after a line on output.err for each
// problem; a style whose path is too long for the plug-in under Wine is said on output.err too.
// Needs the plug-in stopped, as it runs it itself, and the system's window colour set to
// plan.window, as the report's run sets it. On a stop signal the script is sent it and
// cleans up; then it returns 1.
int takeScreenshots(const ScreenshotPlan& plan, const Output& output,
                    const std::atomic<bool>& stop);

} // namespace preview
