#pragma once

#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Game/Startup.h"

#include <atomic>
#include <cstdint>
#include <gtest/gtest.h>
#include <lua.hpp>
#include <string>
#include <vector>

namespace test {

// Runs a Lua expression in the game's interpreter and answers it converted with tostring.
inline std::string EvalLua(const std::string& expression) {
    game().lua_.Execute("__result = tostring(" + expression + ")");
    lua_State* L = game().lua_.Handle();
    lua_getfield(L, LUA_GLOBALSINDEX, "__result");
    std::string text = lua_tostring(L, -1);
    lua_pop(L, 1);
    return text;
}

// A fresh settings record and a game object published as game(), whose time base is driven
// by hand: Advance moves Game::Time on by whole milliseconds.
class GameFixture : public ::testing::Test {
protected:
    GameFixture() : opts_(g_opts), game_(g_game, [this] { return MakeGame(); }) { NewLogLines(); }

    // Replaces game() by a new game object on the same clock.
    void RenewGame() {
        delete g_game;
        g_game = nullptr;
        g_game = MakeGame();
    }

    void Advance(std::uint64_t ms) { ticks_ += ms; }

    // Runs a Lua expression and answers it converted with tostring.
    std::string Eval(const std::string& expression) { return EvalLua(expression); }

    // The log lines written since the last call (of the ten the log keeps).
    std::vector<std::string> NewLogLines() {
        static int marks = 0;
        const std::string marker = "-- mark " + std::to_string(++marks) + " --";
        std::vector<std::string> lines;
        std::string kept = Log::Instance().Lines();
        std::size_t from = kept.rfind(lastMarker_);
        from = from == std::string::npos ? 0 : from + lastMarker_.size() + 1;
        for (std::size_t at = from; at < kept.size();) {
            std::size_t end = kept.find('\n', at);
            end = end == std::string::npos ? kept.size() : end;
            lines.push_back(kept.substr(at, end - at));
            at = end + 1;
        }
        LogWrite(marker);
        lastMarker_ = marker;
        return lines;
    }

    std::atomic<std::uint64_t> ticks_{5000};
    std::vector<int> quitCodes_;
    ScopedGlobal<Opts::Data> opts_;
    ScopedGlobal<Game> game_;

private:
    Game* MakeGame() {
        return new Game(Game::Environment{[this] { return ticks_.load(); },
                                          [this](int code) { quitCodes_.push_back(code); }});
    }

    std::string lastMarker_ = "-- no mark yet";
};

} // namespace test
