// A picture of what the applied colours do to Windows: an active and an inactive title bar with
// their gradients and text, a selected row and a tooltip.
#pragma once

#include "tools/preview/applied_colors.h"

#include <string>

namespace preview {

// An SVG document: the windows' background is windowColor, with their text black or white,
// whichever reads on it; styleName is shown beneath the windows.
std::string renderTitleBarSvg(const AppliedColors& colors, COLORREF windowColor,
                              const std::string& styleName);

} // namespace preview
