// What the tool brings with it, found beside its own executable in the folders it is installed
// in (bin/, share/tintlet/, libexec/tintlet/), so an installed copy runs from anywhere; the build
// tree is laid out the same way.
#pragma once

#include <string>

namespace preview {

enum class ToolFolder { Data, Libexec }; // share/tintlet/, libexec/tintlet/

// A file or folder the tool brings, by its name in its folder: in libexec/tintlet/ the script
// that takes the screenshots under Wine (screenshots.sh) and the folder of the scene's
// Marlwood.exe and Tintlet.dll, from the Windows build (windows); in share/tintlet/ the Wine
// prefix's settings (screenshots.reg) and the style shown when none is given
// (styles/harbour-dusk.style).
std::string toolFile(ToolFolder folder, const std::string& name);

} // namespace preview
