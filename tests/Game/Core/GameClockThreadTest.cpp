#include "support/GameFixture.h"

#include <thread>

namespace {

using GameClockThreadTest = test::GameFixture;

// The preload worker stops and starts the clock while the user-interface thread renders:
// no frame may see the clock grow by more than the time since the previous frame.
TEST_F(GameClockThreadTest, WorkerTogglingNeverMakesTheClockJump) {
    game().RestartClock();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 10000; ++i) {
            game().SetClockRunning(false);
            game().SetClockRunning(true);
        }
        done = true;
    });
    float lastFrame = game().Time();
    float lastClock = game().GameTime();
    for (int frames = 0; !done || frames < 100; ++frames) {
        Advance(1 + frames % 7);
        game().UpdateClock();
        const float now = game().Time();
        const float clock = game().GameTime();
        // No ASSERT here: leaving with the worker running would end the process.
        EXPECT_LE(clock - lastClock, now - lastFrame) << "frame " << frames;
        EXPECT_GE(clock, lastClock);
        if (HasFailure()) {
            break;
        }
        lastFrame = now;
        lastClock = clock;
    }
    worker.join();
}

} // namespace
