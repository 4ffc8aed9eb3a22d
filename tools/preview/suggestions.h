// What to change where a text is hard to read: the lines to paste, chosen together so that all of
// them put in at once make every text read, or why nothing of the style can.
#pragma once

#include "tools/preview/applied_colors.h"
#include "tools/preview/style_keys.h"

#include <string>
#include <vector>

namespace preview {

// For the pairs of the report below their minimum: the fewest keys, then the colours nearest the
// style's own, whose new values, each put in every colour its key gives, make each of those pairs
// and every other pair those keys are drawn in read, by the report's own measure. A key is
// suggested under each failing pair it is drawn in, with that pair's ratio once all of them are
// in.
std::vector<Fix> suggestFixes(const AppliedColors& colors, const ColorSources& sources,
                              COLORREF window);

} // namespace preview
