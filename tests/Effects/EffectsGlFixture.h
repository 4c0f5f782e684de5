#pragma once

#include "../FileSystem/FileSystemFixture.h"
#include "../Platform/Gfx/GfxTestSupport.h"
#include "Effects/Effects.h"
#include "FileSystem/Locator.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Sprite.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace fxtest {

// The folder of the shipped effect files.
inline std::filesystem::path ShippedEffects() {
    return std::filesystem::path(KV_SOURCE_DIR) / "data" / "game" / "effect";
}

// A device published to the game code, a game object with a hand-driven clock, and a game tree
// holding the shipped effect files (tests add or replace files before building effects).
class EffectsGl : public gfxtest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(device_->CreateSprite(sprite_), Gfx::kOk);
        GfxLink::Publish(device_, sprite_);
        g_opts = new Opts::Data;
        g_game = new Game(Game::Environment{[this] { return ticks_.load(); }, [](int) {}});
        for (const auto& file : std::filesystem::directory_iterator(ShippedEffects())) {
            tree_.AddLoose("effect/" + file.path().filename().string(),
                           test::ReadFile(file.path()));
        }
        Locator::Instance().Init(tree_.Root().string());
    }

    void TearDown() override {
        delete g_effects;
        g_effects = nullptr;
        delete g_game;
        g_game = nullptr;
        delete g_opts;
        g_opts = nullptr;
        sprite_.reset();
        GfxLink::Withdraw();
        GlTest::TearDown();
    }

    void BuildEffects() {
        g_effects = new Effects;
        effects().OnResetDevice();
    }

    test::GameTree tree_;
    std::shared_ptr<Gfx::Sprite> sprite_;
    std::atomic<std::uint64_t> ticks_{1000};
};

} // namespace fxtest
