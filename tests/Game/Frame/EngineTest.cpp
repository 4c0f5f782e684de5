#include "Game/Engine.h"

#include "../../Platform/Gfx/GfxTestSupport.h"
#include "Effects/Effects.h"
#include "FileSystem/Locator.h"
#include "Game/DirectX.h"
#include "Game/Exception.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Keyboard.h"
#include "Game/Log.h"
#include "Game/Mouse.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "RecordingState.h"
#include "support/Devices.h"
#include "support/TestSupport.h"
#include "support/ThrownText.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A state that writes what the frame asks of it, with its name, into the same list as the
// stage names, and fills the render target with its colour when it is drawn.
class TickingState : public test::RecordingState {
public:
    explicit TickingState(std::vector<std::string>& log) : log_(log) {}
    void Render() override {
        log_.push_back(name_ + " Render");
        EXPECT_EQ(GfxLink::Device().Clear(colour_), Gfx::kOk);
        if (onRender_) {
            onRender_();
        }
    }
    bool ShowCursor() override {
        log_.push_back(name_ + " ShowCursor");
        return showCursor_;
    }
    bool ShowInventory() override {
        log_.push_back(name_ + " ShowInventory");
        return false;
    }
    std::string GetEffect() override { return film_ ? "cinema" : "clean"; }
    bool CoversScreen() override { return covers_; }
    void SetName(const std::string& name) { name_ = name; }

    bool film_ = false;
    bool covers_ = false;
    bool showCursor_ = true;
    std::uint32_t colour_ = 0xFF808080;
    std::function<void()> onRender_;

private:
    std::vector<std::string>& log_;
};

// A game tree with the effect files, a cursor atlas (cell 0 red with a white hot-spot texel)
// and a definition without parts; the devices on SDL's offscreen driver, the game, the
// effects and the engine, built as the start-up routine builds them.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path data = root_.Path() / "Data";
        fs::create_directories(data / "effect");
        for (const auto& entry :
             fs::directory_iterator(fs::path(KV_SOURCE_DIR) / "data" / "game" / "effect")) {
            fs::copy_file(entry.path(), data / "effect" / entry.path().filename());
        }
        test::WriteFile(
            data / "korvantine.xml",
            R"(<korvantine><settings><idle period_x="1" period_y="1" ampl_x="0" ampl_y="0" delay="1"/></settings>)"
            R"(<cursor tex="gfx/common/cursor.dds"><context index="0" name="none"/></cursor>)"
            R"(<inventory tex="" back=""/><library tex=""/><map autoload="none" menu="none"/></korvantine>)");
        std::vector<std::uint32_t> atlas(64 * 64, 0);
        for (int y = 0; y < Cursor::kCell; ++y) {
            for (int x = 0; x < Cursor::kCell; ++x) {
                const bool hot = x == Cursor::kHotSpot && y == Cursor::kHotSpot;
                atlas[y * 64 + x] = hot ? 0xFFFFFFFF : 0xFFFF0000;
            }
        }
        fs::create_directories(data / "gfx" / "common");
        test::WriteFile(data / "gfx" / "common" / "cursor.dds",
                        gfxtest::MakeArgbDds(64, 64, atlas));
        Locator::Instance().Init(root_.Path().string());
        std::string error;
        dx_ = test::OpenDevices(error);
        if (!dx_) {
            GTEST_SKIP() << "no devices: " << error;
        }
        game_ = std::make_unique<ScopedGlobal<Game>>(g_game);
        effects_ = std::make_unique<ScopedGlobal<Effects>>(g_effects);
        engine_ = std::make_unique<Engine>();
        engine_->ObserveStages([this](const char* name) { log_.push_back(name); });
    }

    void TearDown() override {
        engine_.reset();
        effects_.reset();
        game_.reset();
        dx_.reset();
    }

    // A state registered under `name`; `current` makes it current (a first move: no
    // transition).
    std::shared_ptr<TickingState> Enter(const std::string& name, bool current = true) {
        auto state = std::make_shared<TickingState>(log_);
        state->SetName(name);
        game().map_.StoreState(name, state);
        if (current) {
            game().map_.SetState(name);
        }
        log_.clear();
        return state;
    }

    Gfx::Device& Device() { return GfxLink::Device(); }

    // The texels of a 1024-wide render target; the back buffer by default.
    std::vector<std::uint32_t> Texels(const std::shared_ptr<Gfx::Texture>& texture = nullptr) {
        std::shared_ptr<Gfx::Surface> surface = Device().BackBuffer();
        if (texture) {
            EXPECT_EQ(texture->GetSurfaceLevel(0, surface), Gfx::kOk);
        }
        std::vector<std::uint32_t> texels;
        EXPECT_EQ(Device().ReadRenderTarget(*surface, texels), Gfx::kOk);
        return texels;
    }

    test::TempDir root_;
    CCustomMessageLoop loop_;
    ScopedGlobal<Opts::Data> opts_{g_opts};
    std::unique_ptr<ScopedGlobal<DirectX>> dx_;
    std::unique_ptr<ScopedGlobal<Game>> game_;
    std::unique_ptr<ScopedGlobal<Effects>> effects_;
    std::unique_ptr<Engine> engine_;
    std::vector<std::string> log_;
};

const std::vector<std::string> kFrame = {
    "Render",          "State",        "a Render",  "Mask",  "Effect",  "Full",  "Toppings",
    "a ShowInventory", "a ShowCursor", "Subtitles", "Debug", "Present", "Sound", "Map"};

// One frame runs every stage once, in order, with the state's tick inside "State" and its
// questions inside "Toppings", with the film look on and off, and with the mask.
TEST_F(EngineTest, FrameRunsEveryStageInOrder) {
    auto state = Enter("a");
    for (bool film : {false, true}) {
        for (bool mask : {false, true}) {
            state->film_ = film;
            game().mask_ = mask;
            engine_->OnIdle();
            EXPECT_EQ(log_, kFrame) << "film look " << film << ", mask " << mask;
            EXPECT_EQ(effects().oldcinema_.effect()->CurrentTechnique(), film ? "cinema" : "clean");
            log_.clear();
        }
    }
}

// The film look blurs the screen picture for the final pass, unless the light shaders are
// chosen; the clean look leaves the blur alone.
TEST_F(EngineTest, FilmLookBlursUnlessLight) {
    auto state = Enter("a");
    state->colour_ = 0xFF40C020;
    constexpr int kCentre = 384 * 1024 + 512;
    for (bool light : {true, false}) {
        opts().light_ = light;
        state->film_ = false;
        engine_->OnIdle();
        state->film_ = true;
        const std::uint32_t before = Texels(effects().blur_.TargetB())[kCentre];
        engine_->OnIdle();
        EXPECT_EQ(Texels(engine_->ScreenTexture())[kCentre] & 0xFFFFFF, 0x40C020u);
        const std::uint32_t blurred = Texels(effects().blur_.TargetB())[kCentre];
        if (light) {
            EXPECT_EQ(blurred, before) << "no blur with light shaders";
        } else {
            EXPECT_NE(blurred & 0xFFFFFF, 0u) << "the blur filtered the screen picture";
        }
    }
}

// A move asked for during the frame: the state held at "Render" stays valid for the
// frame's toppings, and the next frame draws the new state. A move left pending by the
// preload happens in "Map", after the frame was presented.
TEST_F(EngineTest, MovesDuringTheFrameKeepTheFrameConsistent) {
    auto a = Enter("a");
    Enter("b", false);
    a->onRender_ = [&] {
        a->onRender_ = nullptr;
        game().map_.SetState("b");
    };
    engine_->OnIdle();
    EXPECT_NE(std::find(log_.begin(), log_.end(), "a ShowCursor"), log_.end());
    EXPECT_NE(game().map_.CurrentState(), a);

    std::string atPresent;
    engine_->ObserveStages([&](const char* name) {
        if (std::string(name) == "Present") {
            atPresent = game().map_.Current();
        }
    });
    const std::string before = game().map_.Current();
    game().map_.SetMovePending("a");
    engine_->OnIdle();
    EXPECT_EQ(atPresent, before);
    EXPECT_NE(game().map_.Current(), before);
}

// A lost device skips whole frames, input included; the frame that finds it resettable
// logs, resets and draws; the screen texture is made again only then.
TEST_F(EngineTest, LostDeviceSkipsFramesAndResetsOnce) {
    auto state = Enter("a");
    engine_->OnIdle();
    const auto steady = engine_->ScreenTexture();
    engine_->OnIdle();
    EXPECT_EQ(engine_->ScreenTexture(), steady) << "steady frames allocate no target";

    Device().SimulateLoss(Gfx::Device::Loss::LostFrames, 2);
    engine_->GetKeyboard().GetDevice().Push({Input::DIK_A, Input::Pressed, 0, 1, 0});
    state->batches_.clear();
    log_.clear();
    engine_->OnIdle();
    engine_->OnIdle();
    EXPECT_TRUE(log_.empty());
    EXPECT_TRUE(state->batches_.empty()) << "no input is read while the device is lost";

    engine_->OnIdle();
    EXPECT_EQ(log_, kFrame);
    EXPECT_NE(Log::Instance().Lines().find("Device not reset"), std::string::npos);
    EXPECT_NE(engine_->ScreenTexture(), steady);
    ASSERT_EQ(state->Records(true).size(), 1u);
    EXPECT_EQ(state->Records(true)[0].dwOfs, Input::DIK_A);
}

// Mouse records reach the state before keys; the keyboard's batch goes to the state the
// mouse's batch left current.
TEST_F(EngineTest, InputBatchesReachTheCurrentStateMouseFirst) {
    auto a = Enter("a");
    Enter("b", false);
    engine_->GetMouse().GetDevice().Push({Input::DIMOFS_BUTTON0, 0, 0, 1, 0});
    engine_->GetKeyboard().GetDevice().Push({Input::DIK_ESCAPE, 0, 0, 2, 0});
    a->afterBatch_ = [&] { game().map_.SetState("b"); };
    engine_->OnIdle();
    ASSERT_EQ(a->batches_.size(), 1u);
    EXPECT_FALSE(a->batches_[0].keyboard);
    EXPECT_NE(game().map_.CurrentState(), a);
}

// No current state is fatal, with its location in the log. An engine whose construction
// fails leaves nothing registered with the loop; a finished one says goodbye and leaves the
// loop too.
TEST_F(EngineTest, FailuresAndTeardownLeaveTheLoop) {
    EXPECT_EQ(test::ThrownText([&] { engine_->OnIdle(); }), "Unknown exception");
    EXPECT_NE(
        Log::Instance().Lines().find("\tAt .\\Game\\Engine\n\tOn state != 0\nNo state assigned"),
        std::string::npos);
    test::LogSince log;
    engine_.reset();
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Deinitializing game data"});
    fs::remove(root_.Path() / "Data" / "korvantine.xml");
    EXPECT_EQ(test::ThrownText([] { Engine engine; }), "Cannot load 'korvantine.xml'");
    EXPECT_TRUE(loop_.OnIdle(1)) << "no idle handler left behind";
}

// The cursor (its hot spot on the pointer), the debug text and the console are drawn over
// the final picture only when the state and the settings ask for them.
TEST_F(EngineTest, OverlaysFollowTheStateAndTheSettings) {
    auto state = Enter("a");
    game().cursor_.SetPos(0.25f, 0.75f);
    const auto greyIn = [](const std::vector<std::uint32_t>& texels, int x0, int y0, int x1,
                           int y1) {
        int grey = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                grey += texels[y * 1024 + x] == Engine::kTextColour;
            }
        }
        return grey;
    };
    for (bool shown : {false, true}) {
        SCOPED_TRACE(shown);
        state->showCursor_ = shown;
        opts().info_ = shown;
        opts().console_ = shown;
        engine_->OnIdle();
        const auto texels = Texels();
        EXPECT_EQ(texels[576 * 1024 + 256] == 0xFFFFFFFFu, shown);
        EXPECT_EQ(texels[(576 - 25) * 1024 + 256 - 25] == 0xFFFF0000u, shown);
        EXPECT_EQ(greyIn(texels, 0, 0, 100, 80) > 0, shown);
        EXPECT_EQ(greyIn(texels, 824, 0, 1020, 160) > 0, shown);
    }
}

// With the plain look at rest a state that covers the frame is drawn straight into the back
// buffer and the screen texture is left alone; the frame is the one the screen texture and the
// final pass give. A look that changes pixels, set before the frame or by the state's own
// drawing, sends the picture the whole way.
TEST_F(EngineTest, StraightFramesEqualTheFramesOfTheWholeWay) {
    auto state = Enter("a");
    state->showCursor_ = false;
    // Over the state's clear, four corner colours that run through every level.
    const auto gradient = [] {
        struct Vertex {
            float x, y, z, rhw;
            std::uint32_t colour;
        };
        const Vertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0xFF000000},
                                {1023.5f, -0.5f, 0, 1, 0xFFFF0000},
                                {-0.5f, 767.5f, 0, 1, 0xFF00FF00},
                                {1023.5f, 767.5f, 0, 1, 0xFFFFFFFF}};
        ASSERT_EQ(GfxLink::Device().SetFvf(Gfx::FvfXyzRhw | Gfx::FvfDiffuse), Gfx::kOk);
        ASSERT_EQ(GfxLink::Device().DrawPrimitiveUp(Gfx::Primitive::TriangleStrip, 2, quad,
                                                    sizeof(Vertex)),
                  Gfx::kOk);
    };
    const struct {
        const char* look;
        std::function<void()> set;
        bool straight;
        bool timeless; // the picture does not move with the clock
    } cases[] = {
        {"at rest", [] {}, true, true},
        {"brightness", [] { opts().brightness_ = 0.7f; }, false, true},
        {"exposure", [] { game().exposure_ = -0.25f; }, false, true},
        {"cachet", [] { game().cachet_ = 0.5f; }, false, true},
        {"mask", [] { game().mask_ = true; }, false, true},
        {"film", [&] { state->film_ = true; }, false, false},
        // Last: the level takes a second to come back to rest.
        {"HDR", [] { game().SetHdrLevel(0.5f); }, false, false},
    };
    for (const bool inTick : {true, false}) {
        for (const auto& c : cases) {
            if (inTick && std::string(c.look) == "HDR") {
                continue;
            }
            SCOPED_TRACE(std::string(c.look) + (inTick ? " set by the tick" : ""));
            const auto frame = [&](bool covers) {
                opts().brightness_ = 0.5f;
                game().exposure_ = game().cachet_ = 0.0f;
                game().mask_ = state->film_ = false;
                state->covers_ = covers;
                if (!inTick) {
                    c.set();
                }
                state->onRender_ = [&] {
                    gradient();
                    if (inTick) {
                        c.set();
                    }
                };
                // A mark in the screen texture shows whether the frame drew there.
                std::shared_ptr<Gfx::Surface> screen;
                EXPECT_EQ(engine_->ScreenTexture()->GetSurfaceLevel(0, screen), Gfx::kOk);
                EXPECT_EQ(Device().SetRenderTarget(0, screen), Gfx::kOk);
                EXPECT_EQ(Device().Clear(0xFF123456), Gfx::kOk);
                EXPECT_EQ(Device().SetRenderTarget(0, Device().BackBuffer()), Gfx::kOk);
                engine_->OnIdle();
                state->onRender_ = nullptr;
                state->covers_ = false;
                const bool marked = Texels(engine_->ScreenTexture())[0] == 0xFF123456u;
                return std::make_pair(Texels(), marked);
            };
            const auto whole = frame(false);
            EXPECT_FALSE(whole.second);
            const auto straight = frame(true);
            EXPECT_EQ(straight.second, c.straight);
            if (c.timeless) {
                EXPECT_TRUE(straight.first == whole.first);
            }
        }
    }
}

} // namespace
