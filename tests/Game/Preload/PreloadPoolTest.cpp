#include "Game/PreloadPool.h"

#include "Game/Exception.h"
#include "Game/Log.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <string>
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

} // namespace
