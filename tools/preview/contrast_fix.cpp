#include "tools/preview/contrast_fix.h"

#include "tools/preview/applied_colors.h"

namespace preview {

// Stand-in until the perceptual search lands: mixes toward black and white.
Suggestion suggestColor(COLORREF original, const std::vector<Against>& against) {
    const auto passes = [&](COLORREF c) {
        for (const Against& a : against) {
            if (below(contrastRatio(c, a.color), a.minimum)) {
                return false;
            }
        }
        return true;
    };
    for (int step = 0; step <= 255; ++step) {
        for (int target : {0, 255}) {
            const auto mix = [&](int channel) {
                return channel + (target - channel) * step / 255;
            };
            const COLORREF c = RGB(mix(GetRValue(original)), mix(GetGValue(original)),
                                   mix(GetBValue(original)));
            if (passes(c)) {
                return {true, c};
            }
        }
    }
    return {false, 0};
}

} // namespace preview
