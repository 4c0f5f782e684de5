#include "Platform/Window/CCustomMessageLoop.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

class Counter : public CIdleHandler {
public:
    bool OnIdle() override {
        turns.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    std::atomic<int> turns{0};
};

} // namespace

TEST(MessageLoopThreads, AQuitPostedFromAnotherThreadEndsRun) {
    CCustomMessageLoop loop;
    Counter counter;
    loop.AddIdleHandler(&counter);
    std::thread poster([&] {
        while (counter.turns.load(std::memory_order_relaxed) < 10) {
            std::this_thread::yield();
        }
        loop.PostQuit(5);
    });
    const int code = loop.Run();
    poster.join();
    EXPECT_EQ(code, 5);
}
