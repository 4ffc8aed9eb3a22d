// What the scene (scene/scene.cpp) shown under Wine says a picture of the screen must hold, and
// whether a picture holds it: the ten applied colours where Windows draws them.
#pragma once

#include "tools/preview/applied_colors.h"

#include <ostream>
#include <string>
#include <vector>

namespace preview {

struct SceneSample {
    bool point; // one pixel at left, top; else some pixels within the box
    int color;  // which of the ten applied colours, in their order
    int left, top, right, bottom;
};

// One of the scene's "point NAME X Y" or "within NAME LEFT TOP RIGHT BOTTOM" lines; false for
// any other line.
bool parseSceneSample(const std::string& line, SceneSample* sample);

// A picture as 8-bit red, green and blue bytes, row after row from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::string rgb;
};

// Where the picture does not show the applied colours, one line each: empty when every sample
// holds and each of the ten colours was sampled. trace, when given, gets a line per sample, as
// --trace shows it.
std::vector<std::string> compareScene(const Picture& picture,
                                      const std::vector<SceneSample>& samples,
                                      const AppliedColors& colors, std::ostream* trace = nullptr);

} // namespace preview
