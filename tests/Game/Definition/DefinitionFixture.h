#pragma once

#include "FileSystem/Locator.h"
#include "Game/Game.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "States/Base.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace test {

// A settings record and a game object on a hand-driven clock, published as game(), with
// the locator over a game tree. The game posts its quit to the thread's message loop.
class DefinitionFixture : public ::testing::Test {
protected:
    DefinitionFixture()
        : opts_(g_opts), game_(g_game, [this] {
              return new Game(Game::Environment{[this] { return ticks_.load(); }, {}});
          }) {}

    // Points the locator at the tree whose Data folder holds the definition.
    static void UseTree(const std::string& root) { Locator::Instance().Init(root); }

    void Advance(std::uint64_t ms) { ticks_ += ms; }

    // One frame `ms` after the last: the clock, the current state's tick, the pending move;
    // notes the exposure's extremes.
    void Frame(std::uint64_t ms) {
        Advance(ms);
        game().UpdateClock();
        if (const auto state = game().map_.CurrentState()) {
            state->Tick();
        }
        game().map_.Update();
        darkest_ = std::min(darkest_, game().exposure_);
        brightest_ = std::max(brightest_, game().exposure_);
    }

    // The lines the game's scripts traced (the engine's own switch and lookup lines dropped).
    static std::vector<std::string> Traced(std::vector<std::string> lines) {
        std::erase_if(lines, [](const std::string& line) {
            return line.rfind("Trying to get", 0) == 0 || line.find(" -> ") != std::string::npos;
        });
        return lines;
    }

    float darkest_ = 0.0f;
    float brightest_ = 0.0f;

    std::atomic<std::uint64_t> ticks_{1000};
    ScopedGlobal<Opts::Data> opts_;
    ScopedGlobal<Game> game_;
};

} // namespace test
