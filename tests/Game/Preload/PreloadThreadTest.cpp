#include "Game/Log.h"
#include "Game/Startup.h"
#include "PreloadFixture.h"
#include "support/GameFixture.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace {

using test::PreloadMap;
using test::PreloadPart;
using namespace std::chrono_literals;

std::vector<std::string> Names(const std::string& prefix, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(prefix + std::to_string(i));
    }
    return names;
}

// Parts "A" (20 screens, 2 sounds) and "B" (10 screens); their loading and start states
// are not defined, so the tests start each preload as the loading screen's activation would.
std::string TwoParts() {
    return PreloadPart("intro", "l_none", "s_none", {}, {}) +
           PreloadPart("A", "l_a", "a1", Names("a", 20), {"x.ogg", "y.ogg"}) +
           PreloadPart("B", "l_b", "b1", Names("b", 10), {});
}

class PreloadThreadTest : public test::GameFixture {
protected:
    PreloadThreadTest() : target_(&map_) {
        map_.SetPreloadTarget(&target_);
        map_.Load(PreloadMap("intro", TwoParts()));
        map_.StartPreload();
        WaitForFlag();
    }

    // Runs the frame's part of the bargain until the worker raises its flag.
    bool WaitForFlag() {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline) {
            const float progress = map_.GetProgress();
            EXPECT_GE(progress, 0.0f);
            EXPECT_LE(progress, 1.0f);
            if (map_.TakeLoadedFlag()) {
                return true;
            }
            std::this_thread::sleep_for(100us);
        }
        return false;
    }

    Map& map_ = game().map_;
    test::RecordingTarget target_;
};

// The worker loads on its own thread while the user-interface thread reads the progress;
// the flag comes once, after every step.
TEST_F(PreloadThreadTest, WorkerLoadsWhileProgressIsRead) {
    target_.delay_ = 200us;
    map_.LoadPart("A", false);
    map_.StartPreload();
    ASSERT_TRUE(WaitForFlag());
    EXPECT_EQ(map_.GetProgress(), 1.0f);
    EXPECT_EQ(target_.Calls().size(), 1u + 1u + 22u); // intro's eviction, then A's pass
    EXPECT_FALSE(map_.TakeLoadedFlag());
}

// A second loading-screen activation while the worker runs: still one worker at a time, the
// part asked for last is loaded, and the flag is raised once, after it.
TEST_F(PreloadThreadTest, SecondActivationRunsAgainInsteadOfASecondWorker) {
    for (int i = 0; i < 100; ++i) {
        target_.delay_ = std::chrono::microseconds(i % 7);
        const std::size_t before = target_.Calls().size();
        map_.LoadPart("A", false);
        map_.StartPreload();
        map_.LoadPart("B", false);
        map_.StartPreload();
        ASSERT_TRUE(WaitForFlag()) << "iteration " << i;
        EXPECT_EQ(map_.GetProgress(), 1.0f) << "iteration " << i;
        EXPECT_EQ(map_.Next(), "b1");
        EXPECT_EQ(map_.PartName(), "B");
        const std::vector<std::string> calls = target_.Calls();
        EXPECT_NE(std::find(calls.begin() + static_cast<std::ptrdiff_t>(before), calls.end(),
                            "load b9.png"),
                  calls.end())
            << "iteration " << i;
        // Let the finished worker leave, then make sure no later flag follows.
        map_.JoinPreload();
        EXPECT_FALSE(map_.TakeLoadedFlag()) << "iteration " << i;
    }
    EXPECT_EQ(target_.MostAtOnce(), 1);
}

// A part queued while the worker iterates its copy stays queued for the next pass, and the
// pass that did not load it raises no flag: the move waits for the part's own preload.
TEST_F(PreloadThreadTest, LoadsQueuedDuringAPassAreKept) {
    target_.hold_ = true;
    const std::size_t started = target_.Calls().size();
    map_.LoadPart("A", false);
    map_.StartPreload();
    // Once the worker has taken its lists and waits in its first step, queue B, with no
    // activation yet, and let the worker go on.
    while (target_.Calls().size() == started) {
        std::this_thread::sleep_for(50us);
    }
    map_.LoadPart("B", false);
    target_.hold_ = false;
    while (target_.Calls().back() != "sound y.ogg") {
        std::this_thread::sleep_for(50us);
    }
    // A flag raised by mistake would come right after the last step (a slow machine only
    // lets this check miss it, never fail it).
    std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(map_.TakeLoadedFlag());
    EXPECT_EQ(target_.Calls().size(), started + 23u) << "A's pass alone";

    map_.StartPreload();
    ASSERT_TRUE(WaitForFlag());
    // B's pass: its ten pictures, started in any order on the worker's threads.
    const std::vector<std::string> calls = target_.Calls();
    ASSERT_GE(calls.size(), 10u);
    std::vector<std::string> last(calls.end() - 10, calls.end());
    std::sort(last.begin(), last.end());
    std::vector<std::string> expected;
    for (const std::string& name : Names("b", 10)) {
        expected.push_back("load " + name + ".png");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(last, expected);
}

// Logs as the texture manager does; the load of `first` waits until that of `later` has run,
// on another of the worker's threads, so the two finish out of order. The sound step, which
// comes after every texture, notes the log's last lines and the progress.
class OutOfOrderTarget : public PreloadTarget {
public:
    OutOfOrderTarget(Map& map, std::string first, std::string later)
        : map_(map), first_(std::move(first)), later_(std::move(later)) {}

    void LoadTexture(const MapResource& resource) override {
        std::unique_lock<std::mutex> lock(mutex_);
        if (resource.name_ == first_) {
            EXPECT_TRUE(changed_.wait_for(lock, 30s, [this] { return laterRan_; }));
            progressAfterLater_ = map_.GetProgress();
        }
        LogWrite("Loaded texture '" + resource.name_ + "'");
        laterRan_ = laterRan_ || resource.name_ == later_;
        changed_.notify_all();
    }
    void ReleaseTexture(const MapResource&) override {}
    void EvictManagedResources() override {}
    void LoadSound(const SoundDef&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        linesAtSound_ = Log::Instance().Lines();
        progressAtSound_ = map_.GetProgress();
        soundLoaded_ = true;
        changed_.notify_all();
    }

    bool WaitForSound() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 30s, [this] { return soundLoaded_; });
    }

    std::string linesAtSound_;
    float progressAfterLater_ = -1.0f;
    float progressAtSound_ = -1.0f;

private:
    Map& map_;
    std::string first_, later_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool laterRan_ = false;
    bool soundLoaded_ = false;
};

// The part's pictures decode on several threads, the first only after a later one: the log
// lines and the progress still follow the part's list.
TEST(PreloadOrderTest, PicturesDecodedOutOfOrderAreLoggedAndCountedInOrder) {
    ScopedGlobal<Opts::Data> opts(g_opts);
    ScopedGlobal<Game> scopedGame(g_game);
    Map& map = game().map_;
    OutOfOrderTarget target(map, "c0.png", "c3.png");
    map.SetPreloadTarget(&target);
    map.Load(PreloadMap("C", PreloadPart("C", "l_c", "c1", Names("c", 6), {"z.ogg"})));
    map.StartPreload();
    ASSERT_TRUE(target.WaitForSound());
    EXPECT_EQ(target.progressAfterLater_, 0.0f);
    EXPECT_FLOAT_EQ(target.progressAtSound_, 6.0f / 7.0f);
    std::string expected;
    for (int i = 0; i < 6; ++i) {
        expected += "\nLoaded texture 'c" + std::to_string(i) + ".png'";
    }
    const std::string& lines = target.linesAtSound_;
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(lines.substr(lines.size() - expected.size()), expected);
}

// Ending the game during a preload cancels the worker between two resources and joins it
// before the game goes; no flag is raised.
TEST(PreloadTeardownTest, GameDestroyedDuringAPreloadJoinsTheWorker) {
    ScopedGlobal<Opts::Data> opts(g_opts);
    test::RecordingTarget target;
    target.delay_ = 2ms;
    std::size_t calls = 0;
    {
        ScopedGlobal<Game> scopedGame(g_game);
        Map& map = game().map_;
        map.SetPreloadTarget(&target);
        map.Load(
            PreloadMap("intro", PreloadPart("intro", "l_none", "s_none", Names("t", 1000), {})));
        map.StartPreload();
        std::this_thread::sleep_for(10ms);
    }
    calls = target.Calls().size();
    EXPECT_LT(calls, 1001u) << "the worker stopped before the end";
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(target.Calls().size(), calls) << "and it is gone";
}

} // namespace
