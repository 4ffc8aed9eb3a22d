#include "tools/preview/style_watch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::string styleFile(const char* name, const char* text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

TEST(StyleWatch, SeesEachRewriteOfTheFile) {
    const std::string path = styleFile("watched.style", "menu.title: solid\n");
    std::atomic<bool> stop{false};
    int seen = 0;
    std::thread writer([&] {
        std::this_thread::sleep_for(60ms);
        std::ofstream(path) << "menu.title: flat solid\n";
        std::this_thread::sleep_for(60ms);
        std::ofstream(path) << "menu.title: raised\n";
    });
    const int changes = preview::watchStyleFile(path, 10ms, stop, 2, [&] { ++seen; });
    writer.join();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(seen, 2);
}

TEST(StyleWatch, AFileThatDisappearsIsAChange) {
    const std::string path = styleFile("vanishing.style", "menu.title: solid\n");
    std::atomic<bool> stop{false};
    std::thread remover([&] {
        std::this_thread::sleep_for(40ms);
        std::filesystem::remove(path);
    });
    EXPECT_EQ(preview::watchStyleFile(path, 10ms, stop, 1, [] {}), 1);
    remover.join();
    EXPECT_FALSE(preview::stampOf(path).exists);
}

TEST(StyleWatch, StopsWhenAskedWithoutAChange) {
    const std::string path = styleFile("quiet.style", "menu.title: solid\n");
    std::atomic<bool> stop{false};
    std::thread stopper([&] {
        std::this_thread::sleep_for(50ms);
        stop = true;
    });
    int seen = 0;
    EXPECT_EQ(preview::watchStyleFile(path, 10ms, stop, 0, [&] { ++seen; }), 0);
    stopper.join();
    EXPECT_EQ(seen, 0);
}

} // namespace
