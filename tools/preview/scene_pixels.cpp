#include "tools/preview/scene_pixels.h"

#include "stylefile/color_text.h"

#include <cstring>
#include <sstream>

namespace preview {
namespace {

// Fewer pixels than this of a text's colour could be chance, not the text.
constexpr int LEAST_TEXT_PIXELS = 8;

std::string where(const SceneSample& sample) {
    std::string text = std::to_string(sample.left) + "," + std::to_string(sample.top);
    if (!sample.point) {
        text += "-" + std::to_string(sample.right) + "," + std::to_string(sample.bottom);
    }
    return text;
}

} // namespace

bool parseSceneSample(const std::string& line, SceneSample* sample) {
    std::istringstream words(line);
    std::string kind, name, rest;
    SceneSample parsed{};
    if (!(words >> kind >> name) || (kind != "point" && kind != "within")) {
        return false;
    }
    parsed.point = kind == "point";
    if (!(words >> parsed.left >> parsed.top)) {
        return false;
    }
    if (!parsed.point && !(words >> parsed.right >> parsed.bottom)) {
        return false;
    }
    if (words >> rest) {
        return false;
    }
    parsed.color = -1;
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        if (name == managedColorNames[i]) {
            parsed.color = i;
        }
    }
    if (parsed.color < 0) {
        return false;
    }
    *sample = parsed;
    return true;
}

COLORREF pixelAt(const Picture& picture, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 3;
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(picture.rgb[at + i]);
    };
    return RGB(byte(0), byte(1), byte(2));
}

std::vector<std::string> compareScene(const Picture& picture,
                                      const std::vector<SceneSample>& samples,
                                      const AppliedColors& colors,
                                      std::vector<std::string>* trace) {
    std::vector<std::string> differences;
    bool sampled[MANAGED_COLOR_COUNT] = {};
    const bool whole = picture.width > 0 && picture.height > 0 &&
                       picture.rgb.size() == static_cast<std::size_t>(picture.width) *
                                                 static_cast<std::size_t>(picture.height) * 3;
    if (!whole) {
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
        if (sample.point) {
            const COLORREF drawn = pixelAt(picture, sample.left, sample.top);
            if (trace != nullptr) {
                trace->push_back(name + " at " + where(sample) + ": " +
                                 stylefile::colorText(drawn));
            }
            if (drawn != expected.value) {
                differences.push_back(name + ": Windows drew " + stylefile::colorText(drawn) +
                                      " at " + where(sample) + ", the plug-in applied " +
                                      stylefile::colorText(expected.value));
            }
            continue;
        }
        int found = 0;
        for (int y = sample.top; y < bottom; ++y) {
            for (int x = sample.left; x < right; ++x) {
                found += pixelAt(picture, x, y) == expected.value ? 1 : 0;
            }
        }
        if (trace != nullptr) {
            trace->push_back(name + " within " + where(sample) + ": " + std::to_string(found) +
                             " pixels of " + stylefile::colorText(expected.value));
        }
        if (found < LEAST_TEXT_PIXELS) {
            differences.push_back(name + ": " + std::to_string(found) + " pixels of " +
                                  stylefile::colorText(expected.value) + " within " +
                                  where(sample) + ", where its text is drawn");
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
