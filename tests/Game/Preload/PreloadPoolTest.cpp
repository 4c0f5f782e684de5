#include "Game/PreloadPool.h"

#include "Game/Exception.h"
#include "Game/Log.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

// Job 0 waits until job 1 has run (on threads: the pool runs them at once) and job 2 throws: the
// owner still takes back the lines and the error in queue order, inline as on threads. A pool
// that goes with jobs not taken back writes the lines of those that ran, in order.
TEST(PreloadPool, JobsFinishingOutOfOrderAreTakenBackInQueueOrder) {
    for (const unsigned threads : {0u, 2u, 4u}) {
        std::promise<void> oneRan;
        std::future<void> oneDone = oneRan.get_future();
        Lines taken;
        {
            LogHold hold;
            {
                PreloadPool pool(threads);
                for (int i = 0; i < 6; ++i) {
                    pool.Queue([&, i] {
                        if (threads > 0 && i == 0) {
                            EXPECT_EQ(oneDone.wait_for(30s), std::future_status::ready);
                        }
                        LogWrite("job " + std::to_string(i));
                        if (i == 1) {
                            oneRan.set_value();
                        }
                        if (i == 2) {
                            throw exception("job 2 failed");
                        }
                    });
                }
                for (int i = 0; i < 4; ++i) {
                    try {
                        pool.Finish();
                    } catch (const exception& e) {
                        LogWrite(std::string("caught: ") + e.what());
                    }
                }
            }
            taken = hold.Take();
        }
        const Lines first = {"job 0", "job 1", "job 2", "caught: job 2 failed", "job 3"};
        ASSERT_GE(taken.size(), first.size()) << threads << " threads";
        EXPECT_EQ(Lines(taken.begin(), taken.begin() + 5), first) << threads << " threads";
        // Jobs 4 and 5 were not taken back: inline they never ran, on threads they may have.
        for (std::size_t i = 5; i < taken.size(); ++i) {
            EXPECT_EQ(taken[i], "job " + std::to_string(i - 1));
        }
        EXPECT_TRUE(threads > 0 || taken.size() == 5u);
    }
    EXPECT_GE(PreloadPool::DefaultThreads(), 2u);
    EXPECT_LE(PreloadPool::DefaultThreads(), 4u);
}

// A pool whose second or first thread cannot start stops the ones that did and runs every job
// on the owner's thread, in queue order, after one line that says so.
TEST(PreloadPool, ThreadsThatCannotStartLeaveTheJobsToTheOwner) {
    const std::thread::id owner = std::this_thread::get_id();
    for (const unsigned started : {0u, 1u}) {
        unsigned asked = 0;
        const PreloadPool::Starter start = [&](std::function<void()> run) {
            if (asked++ == started) {
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again),
                    "thread " + std::to_string(started));
            }
            return PreloadPool::StartThread(std::move(run));
        };
        Lines lines;
        {
            LogHold hold;
            PreloadPool pool(3, start);
            for (int i = 0; i < 3; ++i) {
                pool.Queue([i, owner] {
                    LogWrite("job " + std::to_string(i) +
                             (std::this_thread::get_id() == owner ? " here" : " elsewhere"));
                });
            }
            for (int i = 0; i < 3; ++i) {
                pool.Finish();
            }
            lines = hold.Take();
        }
        EXPECT_EQ(lines,
                  (Lines{"Cannot start a decoding thread (thread " + std::to_string(started) +
                             ": Resource temporarily unavailable); pictures are decoded on "
                             "the preload worker",
                         "job 0 here", "job 1 here", "job 2 here"}));
    }
}

} // namespace
