// Style files a test writes for itself, in the tests' temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace tests {

// Writes text byte for byte to the file name in the temporary folder, replacing what was there;
// returns its path. A write that fails fails the test.
inline std::string writeStyle(const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    EXPECT_TRUE(file.good()) << "cannot write " << path;
    return path;
}

} // namespace tests
