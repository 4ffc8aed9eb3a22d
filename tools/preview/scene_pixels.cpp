#include "tools/preview/scene_pixels.h"

#include "stylefile/color_text.h"

#include <algorithm>
#include <iterator>
#include <sstream>

namespace preview {
namespace {

// Fewer pixels than this of a colour within a box could be chance, not the text or background.
constexpr int LEAST_TEXT_PIXELS = 8;

std::string where(const SceneSample& sample) {
    const auto corner = [](int x, int y) { return std::to_string(x) + "," + std::to_string(y); };
    return corner(sample.left, sample.top) +
           (sample.point ? "" : "-" + corner(sample.right, sample.bottom));
}

COLORREF pixelAt(const Picture& picture, int x, int y) {
    const auto* const rgb = reinterpret_cast<const unsigned char*>(picture.rgb.data()) +
                            (static_cast<std::size_t>(y) * picture.width + x) * 3;
    return RGB(rgb[0], rgb[1], rgb[2]);
}

} // namespace

bool parseSceneSample(const std::string& line, SceneSample* sample) {
    std::istringstream words(line);
    std::string kind, name, rest;
    SceneSample parsed{};
    words >> kind >> name >> parsed.left >> parsed.top;
    parsed.point = kind == "point";
    if (kind == "within") {
        words >> parsed.right >> parsed.bottom;
    }
    const auto* const names = std::begin(managedColorNames);
    parsed.color = static_cast<int>(std::find(names, std::end(managedColorNames), name) - names);
    if (!words || words >> rest || (!parsed.point && kind != "within") ||
        parsed.color == MANAGED_COLOR_COUNT) {
        return false;
    }
    *sample = parsed;
    return true;
}

std::vector<std::string> compareScene(const Picture& picture,
                                      const std::vector<SceneSample>& samples,
                                      const AppliedColors& colors, std::ostream* trace) {
    std::vector<std::string> differences;
    bool sampled[MANAGED_COLOR_COUNT] = {};
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() != std::size_t{3} * picture.width * picture.height) {
        return {"the picture is not " + std::to_string(picture.width) + " by " +
                std::to_string(picture.height) + " pixels"};
    }
    for (const SceneSample& sample : samples) {
        const AppliedColor& expected = colors[sample.color];
        const std::string name = expected.name;
        const int right = sample.point ? sample.left + 1 : sample.right;
        const int bottom = sample.point ? sample.top + 1 : sample.bottom;
        if (sample.left < 0 || sample.top < 0 || right > picture.width || bottom > picture.height ||
            sample.left >= right || sample.top >= bottom) {
            differences.push_back(name + ": " + where(sample) + " lies outside the picture");
            continue;
        }
        sampled[sample.color] = true;
        int found = 0;
        for (int y = sample.top; y < bottom; ++y) {
            for (int x = sample.left; x < right; ++x) {
                found += pixelAt(picture, x, y) == expected.value ? 1 : 0;
            }
        }
        const std::string drawn = stylefile::colorText(pixelAt(picture, sample.left, sample.top));
        const std::string applied = stylefile::colorText(expected.value);
        const std::string pixels = std::to_string(found) + " pixels of " + applied;
        if (trace != nullptr) {
            *trace << "trace: screenshot " << name << (sample.point ? " at " : " within ")
                   << where(sample) << ": " << (sample.point ? drawn : pixels) << "\n";
        }
        if (sample.point && found == 0) {
            differences.push_back(name + ": Windows drew " + drawn + " at " + where(sample) +
                                  ", the plug-in applied " + applied);
        } else if (!sample.point && found < LEAST_TEXT_PIXELS) {
            // The edit box's selection: its letters lie on the highlight, not the other way round.
            const bool background = managedColorIndices[sample.color] == COLOR_HIGHLIGHT;
            differences.push_back(name + ": " + pixels + " within " + where(sample) + ", where " +
                                  (background ? "the selection's background" : "its text") +
                                  " is drawn");
        }
    }
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        if (!sampled[i]) {
            differences.push_back(std::string(colors[i].name) + ": not shown in the scene");
        }
    }
    return differences;
}

} // namespace preview
