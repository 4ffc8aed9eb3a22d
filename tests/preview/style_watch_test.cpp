#include "tools/preview/style_watch.h"
#include "tests/temp_style.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The watcher on a thread of its own, and the changes it has reported so far.
class Watch {
  public:
    explicit Watch(const std::string& path, int limit = 0)
        : thread_([this, path, limit] {
              const int result = preview::watchStyleFile(path, 10ms, stop_, limit, [this] {
                  std::lock_guard<std::mutex> lock(mutex_);
                  ++seen_;
                  reported_.notify_all();
              });
              std::lock_guard<std::mutex> lock(mutex_);
              result_ = result;
              reported_.notify_all();
          }) {}
    ~Watch() { finish(); }

    // Does act, and waits until the watcher reports a change. A file saved before the watcher
    // took its first look is no change to it, so act is done again after each quiet moment.
    bool changeSeen(const std::function<void()>& act) {
        std::unique_lock<std::mutex> lock(mutex_);
        const int before = seen_;
        for (int tries = 0; seen_ == before && tries < 20; ++tries) {
            lock.unlock();
            act();
            lock.lock();
            reported_.wait_for(lock, 250ms, [&] { return seen_ != before; });
        }
        return seen_ != before;
    }

    // Whether the watcher ends of itself within the time given.
    bool endsWithin(std::chrono::milliseconds time) {
        std::unique_lock<std::mutex> lock(mutex_);
        return reported_.wait_for(lock, time, [&] { return result_ >= 0; });
    }

    // Stops the watcher; the number of changes it returned, and reported.
    std::pair<int, int> finish() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return {result_, seen_};
    }

  private:
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable reported_;
    int seen_ = 0;
    int result_ = -1;
    std::thread thread_;
};

// Each rewrite is one change; with a limit (--watch-limit) the watcher ends after that many.
TEST(StyleWatch, SeesEachRewriteOfTheFileAndEndsAtItsLimit) {
    const std::string path = tests::writeStyle("watched.style", "menu.title: solid\n");
    Watch watch(path, 2);
    std::string text = "menu.title: flat solid\n";
    // Whole, written aside and renamed: a file seen half written would be a change of its own.
    auto save = [&] {
        std::ofstream(path + ".new") << (text += "!\n");
        std::filesystem::rename(path + ".new", path);
    };
    EXPECT_TRUE(watch.changeSeen(save));
    EXPECT_FALSE(watch.endsWithin(200ms)) << "one change short of the limit";
    text = "menu.title: raised\n";
    EXPECT_TRUE(watch.changeSeen(save));
    EXPECT_TRUE(watch.endsWithin(5s));
    EXPECT_EQ(watch.finish(), std::make_pair(2, 2));
}

TEST(StyleWatch, AFileThatDisappearsIsAChange) {
    const std::string path = tests::writeStyle("vanishing.style", "menu.title: solid\n");
    Watch watch(path);
    std::string text = "menu.title: flat\n";
    EXPECT_TRUE(watch.changeSeen([&] { std::ofstream(path) << (text += "!\n"); }));
    EXPECT_TRUE(watch.changeSeen([&] { std::filesystem::remove(path); }));
    watch.finish();
    EXPECT_FALSE(preview::stampOf(path).has_value());
}

TEST(StyleWatch, StopsWhenAskedWithoutAChange) {
    const std::string path = tests::writeStyle("quiet.style", "menu.title: solid\n");
    Watch watch(path);
    EXPECT_EQ(watch.finish(), std::make_pair(0, 0));
}

} // namespace
