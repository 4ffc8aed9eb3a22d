// What the tool brings with it, found beside its own executable in the folders it is installed
// in (bin/, share/tintlet/, libexec/tintlet/), so an installed copy runs from anywhere; the build
// tree is laid out the same way.
#pragma once

#include <string>

namespace preview {

// The style shown when none is given: share/tintlet/styles/harbour-dusk.style.
std::string bundledStyle();
// The script that takes the screenshots under Wine (libexec/tintlet/screenshots.sh) and its Wine
// prefix's settings (share/tintlet/screenshots.reg).
std::string screenshotScript();
std::string screenshotSettings();
// The folder of the scene's Marlwood.exe and Tintlet.dll, from the Windows build.
std::string windowsPrograms();

} // namespace preview
