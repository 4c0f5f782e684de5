#include "Game/PreloadPool.h"

#include "Game/Exception.h"
#include "Game/Log.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Jobs that finish in an order the test chooses: job i, once started, waits until it is let go.
class Gates {
public:
    void Open(int job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            open_.push_back(job);
        }
        changed_.notify_all();
    }
    // Waits until `job` is let go; false when that never comes (a pool that runs one job at a
    // time would wait here for ever).
    bool Pass(int job) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [&] { return IsOpen(job); });
    }
    void Ran(int job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ran_.push_back(job);
        }
        changed_.notify_all();
    }
    bool WaitRan(int job) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [&] {
            return std::find(ran_.begin(), ran_.end(), job) != ran_.end();
        });
    }

private:
    bool IsOpen(int job) const { return std::find(open_.begin(), open_.end(), job) != open_.end(); }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> open_;
    std::vector<int> ran_;
};

// Jobs that finish in reverse order on the pool's threads are taken back in queue order: their
// lines, and what they threw, come out as if they had run one after another.
TEST(PreloadPool, JobsFinishingOutOfOrderAreTakenBackInQueueOrder) {
    for (const unsigned threads : {0u, 2u, 4u}) {
        Gates gates;
        Lines taken;
        {
            PreloadPool pool(threads);
            for (int i = 0; i < 4; ++i) {
                pool.Queue([&gates, i, threads] {
                    // On threads, job 0 waits for job 1: the pool runs them at once.
                    if (threads > 0 && i == 0) {
                        EXPECT_TRUE(gates.WaitRan(1));
                    }
                    LogWrite("job " + std::to_string(i));
                    gates.Ran(i);
                    if (i == 2) {
                        throw exception("job 2 failed");
                    }
                });
            }
            LogHold hold;
            for (int i = 0; i < 4; ++i) {
                try {
                    pool.Finish();
                } catch (const exception& e) {
                    LogWrite(std::string("caught: ") + e.what());
                }
            }
            pool.Finish(); // nothing left: nothing happens
            taken = hold.Take();
        }
        EXPECT_EQ(taken, (Lines{"job 0", "job 1", "job 2", "caught: job 2 failed", "job 3"}))
            << threads << " threads";
    }
}

// A pool that goes before its jobs were taken back lets the running ones end and still writes,
// in queue order, the lines of those that ran, up to the first that did not.
TEST(PreloadPool, GoingWritesTheLinesOfWhatRanInQueueOrder) {
    Gates gates;
    LogHold hold;
    {
        PreloadPool pool(2);
        for (int i = 0; i < 6; ++i) {
            pool.Queue([&gates, i] {
                if (i == 1) {
                    ASSERT_TRUE(gates.Pass(1));
                }
                LogWrite("job " + std::to_string(i));
                gates.Ran(i);
            });
        }
        // Job 1 waits on one thread while the other runs job 2, whose line is held until job
        // 1's is written.
        ASSERT_TRUE(gates.WaitRan(2));
        gates.Open(1);
    }
    const Lines lines = hold.Take();
    ASSERT_GE(lines.size(), 3u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], "job " + std::to_string(i));
    }
}

TEST(PreloadPool, DefaultThreadsAreTwoToFour) {
    EXPECT_GE(PreloadPool::DefaultThreads(), 2u);
    EXPECT_LE(PreloadPool::DefaultThreads(), 4u);
}

} // namespace
