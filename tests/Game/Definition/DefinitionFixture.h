#pragma once

#include "FileSystem/Locator.h"
#include "Game/Game.h"
#include "Game/Opts.h"
#include "Game/Startup.h"

#include <atomic>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>

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

    std::atomic<std::uint64_t> ticks_{1000};
    ScopedGlobal<Opts::Data> opts_;
    ScopedGlobal<Game> game_;
};

} // namespace test
