#pragma once

#include "../../Platform/Gfx/GfxTestSupport.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"

#include <atomic>
#include <cstdint>

namespace test {

// A device published to the game code, with a fresh settings record and a game object on a
// hand-driven clock; both are gone again before the device is. Test programs that use it
// build the graphics test support with them.
class GameOnDevice : public gfxtest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        GfxLink::Publish(device_, nullptr);
        g_opts = new Opts::Data;
        g_game = new Game(Game::Environment{[this] { return ticks_.load(); }, {}});
    }

    void TearDown() override {
        delete g_game;
        g_game = nullptr;
        delete g_opts;
        g_opts = nullptr;
        GfxLink::Withdraw();
        GlTest::TearDown();
    }

    std::atomic<std::uint64_t> ticks_{1000};
};

} // namespace test
