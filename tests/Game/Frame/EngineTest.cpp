#include "Game/Engine.h"

#include "FileSystem/Locator.h"
#include "Game/DirectX.h"
#include "Game/Exception.h"
#include "Game/Game.h"
#include "Game/Keyboard.h"
#include "Game/Log.h"
#include "Game/Mouse.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "RecordingState.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kStages = {"Render",  "State",    "Mask",      "Effect",
                                          "Full",    "Toppings", "Subtitles", "Debug",
                                          "Present", "Sound",    "Map"};

// A state that writes what the frame asks of it into the same list as the stage names.
class TickingState : public test::RecordingState {
public:
    explicit TickingState(std::vector<std::string>& log) : log_(log) {}
    void Render() override { log_.push_back("state Render"); }
    bool ShowCursor() override {
        log_.push_back("state ShowCursor");
        return true;
    }
    bool ShowInventory() override {
        log_.push_back("state ShowInventory");
        return false;
    }
    std::string GetEffect() override { return film_ ? "cinema" : "clean"; }
    void SetName(const std::string& name) { name_ = name; }

    bool film_ = false;

private:
    std::vector<std::string>& log_;
};

// A game tree with the effect files and a definition without parts, the devices of the
// process on SDL's offscreen driver, the game, the effects and the engine, built as the
// start-up routine builds them.
class EngineTest : public ::testing::Test {
protected:
    static std::string Definition() {
        return R"(<korvantine><settings><idle period_x="1" period_y="1" ampl_x="0" ampl_y="0" delay="1"/></settings>)"
               R"(<cursor tex="gfx/common/cursor.dds"><context index="0" name="none"/></cursor>)"
               R"(<inventory/><library/><map autoload="none" menu="none"/></korvantine>)";
    }

    void SetUp() override {
        // Whatever the caller chose wins; headless by default.
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        const fs::path data = root_.Path() / "Data";
        fs::create_directories(data);
        test::WriteFile(data / "korvantine.xml", Definition());
        Locator::Instance().Init(root_.Path().string());
        opts().windowed_ = true;
        try {
            dx_ = std::make_unique<ScopedGlobal<DirectX>>(g_dx);
        } catch (const exception& e) {
            GTEST_SKIP() << "no devices: " << e.what();
        }
        game_ = std::make_unique<ScopedGlobal<Game>>(g_game);
        engine_ = std::make_unique<Engine>();
        engine_->ObserveStages([this](const char* name) { log_.push_back(name); });
    }

    void TearDown() override {
        engine_.reset();
        game_.reset();
        dx_.reset();
    }

    // Registers a state and makes it current (a first move: no transition).
    std::shared_ptr<TickingState> Enter(const std::string& name) {
        auto state = std::make_shared<TickingState>(log_);
        state->SetName(name);
        game().map_.StoreState(name, state);
        game().map_.SetState(name);
        log_.clear();
        return state;
    }

    std::vector<std::string> Stages() const {
        std::vector<std::string> stages;
        std::copy_if(log_.begin(), log_.end(), std::back_inserter(stages),
                     [](const std::string& s) { return s.find(' ') == std::string::npos; });
        return stages;
    }

    Gfx::Device& Device() { return *dx().device(); }

    test::TempDir root_;
    CCustomMessageLoop loop_;
    ScopedGlobal<Opts::Data> opts_{g_opts};
    std::unique_ptr<ScopedGlobal<DirectX>> dx_;
    std::unique_ptr<ScopedGlobal<Game>> game_;
    std::unique_ptr<Engine> engine_;
    std::vector<std::string> log_;
};

// One frame runs every stage once, in order, with the state's tick inside "State" and its
// questions inside "Toppings".
TEST_F(EngineTest, FrameRunsEveryStageInOrder) {
    auto state = Enter("a");
    for (bool film : {false, true}) {
        state->film_ = film;
        engine_->OnIdle();
        const std::vector<std::string> expected = {"Render",
                                                   "State",
                                                   "state Render",
                                                   "Mask",
                                                   "Effect",
                                                   "Full",
                                                   "Toppings",
                                                   "state ShowInventory",
                                                   "state ShowCursor",
                                                   "Subtitles",
                                                   "Debug",
                                                   "Present",
                                                   "Sound",
                                                   "Map"};
        EXPECT_EQ(log_, expected) << "film look " << film;
        log_.clear();
    }
}

// A lost device skips whole frames, input included; the frame that finds it resettable
// logs, resets and draws; the screen texture is made again only then.
TEST_F(EngineTest, LostDeviceSkipsFramesAndResetsOnce) {
    auto state = Enter("a");
    engine_->OnIdle();
    const auto steady = engine_->ScreenTexture();
    engine_->OnIdle();
    EXPECT_EQ(engine_->ScreenTexture(), steady) << "steady frames allocate no target";
    log_.clear();

    Device().SimulateLoss(Gfx::Device::Loss::LostFrames, 2);
    engine_->GetKeyboard().GetDevice().Push({Input::DIK_A, Input::Pressed, 0, 1, 0});
    state->batches_.clear();
    engine_->OnIdle();
    engine_->OnIdle();
    EXPECT_TRUE(log_.empty());
    EXPECT_TRUE(state->batches_.empty()) << "no input is read while the device is lost";

    engine_->OnIdle();
    EXPECT_EQ(Stages(), kStages);
    EXPECT_NE(Log::Instance().Lines().find("Device not reset"), std::string::npos);
    EXPECT_NE(engine_->ScreenTexture(), steady);
    ASSERT_EQ(state->Records(true).size(), 1u);
    EXPECT_EQ(state->Records(true)[0].dwOfs, Input::DIK_A);
}

// Mouse records reach the state before keys; the keyboard's batch goes to the state the
// mouse's batch left current.
TEST_F(EngineTest, InputBatchesReachTheCurrentStateMouseFirst) {
    auto a = Enter("a");
    auto b = std::make_shared<TickingState>(log_);
    b->SetName("b");
    game().map_.StoreState("b", b);
    engine_->GetMouse().GetDevice().Push({Input::DIMOFS_BUTTON0, 0, 0, 1, 0});
    engine_->GetKeyboard().GetDevice().Push({Input::DIK_ESCAPE, 0, 0, 2, 0});
    a->afterBatch_ = [&] { game().map_.SetState("b"); };
    engine_->OnIdle();
    ASSERT_EQ(a->batches_.size(), 1u);
    EXPECT_FALSE(a->batches_[0].keyboard);
    EXPECT_EQ(a->batches_[0].records.size(), 1u);
    EXPECT_NE(game().map_.CurrentState(), a);
    EXPECT_TRUE(a->Records(true).empty());
}

// Without a current state the frame ends with the fatal "No state assigned".
TEST_F(EngineTest, NoCurrentStateIsFatal) {
    try {
        engine_->OnIdle();
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_STREQ(e.what(), "Unknown exception");
    }
    EXPECT_NE(
        Log::Instance().Lines().find("\tAt .\\Game\\Engine\n\tOn state != 0\nNo state assigned"),
        std::string::npos);
}

// The debug text and the console are drawn in light grey at their corners only when asked.
TEST_F(EngineTest, DebugOverlayAndConsoleFollowTheSettings) {
    Enter("a");
    const auto greyIn = [&](int x0, int y0, int x1, int y1) {
        std::vector<std::uint32_t> texels;
        EXPECT_EQ(Device().ReadRenderTarget(*Device().BackBuffer(), texels), Gfx::kOk);
        int grey = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                grey += texels[y * 1024 + x] == Engine::kTextColour;
            }
        }
        return grey;
    };
    opts().info_ = false;
    opts().console_ = false;
    engine_->OnIdle();
    EXPECT_EQ(greyIn(0, 0, 100, 80), 0);
    EXPECT_EQ(greyIn(824, 0, 1020, 160), 0);
    opts().info_ = true;
    opts().console_ = true;
    engine_->OnIdle();
    EXPECT_GT(greyIn(0, 0, 100, 80), 0);
    EXPECT_GT(greyIn(824, 0, 1020, 160), 0);
}

} // namespace
