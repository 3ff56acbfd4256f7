#include "kromby/sprite/helper_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

// Shares `items` among the calls of the work through a counter, as callers are meant to.
void DoEachOnce(size_t items, std::vector<int>& done) {
    std::atomic<size_t> next{0};
    std::vector<std::atomic<int>> count(items);
    RunWithHelper([&] {
        for (size_t i; (i = next++) < items;) ++count[i];
    });
    done.assign(items, 0);
    for (size_t i = 0; i < items; ++i) done[i] = count[i];
}

TEST(RunWithHelper, EveryItemIsDoneOnceAndAllWorkIsOverOnReturn) {
    // Many short runs: the helper often wakes only after the caller has done everything, and must
    // then leave the (by then destroyed) work alone.
    for (const size_t items : {0u, 1u, 2u, 3u, 1000u}) {
        for (int round = 0; round < 200; ++round) {
            std::vector<int> done;
            DoEachOnce(items, done);
            ASSERT_EQ(done, std::vector<int>(items, 1)) << items << " items, round " << round;
        }
    }
}

TEST(RunWithHelper, TheHelperJoinsIn) {
    // The caller's call waits for a second thread to arrive; only the helper can.
    std::mutex m;
    std::condition_variable arrived;
    std::set<std::thread::id> threads;
    bool met = false;
    RunWithHelper([&] {
        std::unique_lock lock(m);
        threads.insert(std::this_thread::get_id());
        arrived.notify_all();
        met = arrived.wait_for(lock, std::chrono::seconds(10), [&] { return threads.size() == 2; });
    });
    EXPECT_TRUE(met);
    EXPECT_EQ(threads.size(), 2u);
}

TEST(RunWithHelper, CallersAtTheSameTimeAllFinish) {
    std::vector<std::vector<int>> done(4);
    std::vector<std::thread> callers;
    for (auto& d : done)
        callers.emplace_back([&d] {
            for (int round = 0; round < 50; ++round) DoEachOnce(500, d);
        });
    for (auto& t : callers) t.join();
    for (const auto& d : done) EXPECT_EQ(d, std::vector<int>(500, 1));
}

}  // namespace
