// A clean Win32 stand-in, fake host and colour set for every test.
#pragma once

#include "colors/system_color_set.h"
#include "stylefile/color_text.h"
#include "tests/fake_host.h"
#include "win32/win32_standin.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

class StyleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        win32_standin::reset();
        fake_host::reset();
        systemColors = SystemColorSet{};
    }
};

// Joins runs of expected host calls into one sequence.
inline std::vector<std::string> join(std::initializer_list<std::vector<std::string>> runs) {
    std::vector<std::string> all;
    for (const auto& run : runs) {
        all.insert(all.end(), run.begin(), run.end());
    }
    return all;
}

// The ten values of a SetSysColors call, as "#rrggbb" texts for readable failures.
inline std::vector<std::string> hexColors(const std::vector<COLORREF>& values) {
    std::vector<std::string> out;
    for (COLORREF c : values) {
        out.push_back(stylefile::colorText(c));
    }
    return out;
}
