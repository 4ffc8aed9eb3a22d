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

// Where each style's picture goes: file itself for one style; for several, the style's position
// and name go before the extension (out.png: out-1-harbour-dusk.png, out-2-slate-solid.png).
std::vector<std::string> screenshotFiles(const std::string& file,
                                         const std::vector<std::string>& styles);

// What a screenshot needs and this installation or machine lacks, as one line that says how to
// get it; empty when nothing is missing.
std::string screenshotNeeds();

// Takes the pictures of options.screenshotPath for options.styles and checks each (with
// --trace, each sample). Returns 0, or 1 after a line on output.err for each problem; a style
// whose path is too long for the plug-in under Wine is said on output.err too. Needs the plug-in
// stopped, as it runs it itself, and the system's window colour set to options.window, as the
// report's run sets it. On a stop signal the script is sent it and cleans up; then it returns 1.
int takeScreenshots(const Options& options, const Output& output, const std::atomic<bool>& stop);

} // namespace preview
