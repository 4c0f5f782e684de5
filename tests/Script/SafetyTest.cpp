#include "Game/Exception.h"
#include "Recorder.h"
#include "Script/State.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {

// Members that fail, rebind themselves or run scripts of their own while Lua calls them.
class Actor {
public:
    explicit Actor(lua::State& state) : state_(state) {}

    void Throw(int kind) {
        switch (kind) {
        case 1:
            throw exception("engine error");
        case 2:
            throw lua::exception("Not a string");
        case 3:
            throw std::runtime_error("standard error");
        default:
            throw 42;
        }
    }
    void Rebind() {
        state_.Unregister("rebind");
        state_.Register("rebind", &other_, &Recorder::Touch);
        state_.Register("rebind", &other_, &Recorder::Touch);
        ++rebinds_;
    }
    void Run(const std::string& script) { state_.Execute(script); }

    lua::State& state_;
    Recorder other_;
    int rebinds_ = 0;
};

class Safety : public ::testing::Test {
protected:
    Safety() {
        state_.Register("fail", &actor_, &Actor::Throw);
        state_.Register("rebind", &actor_, &Actor::Rebind);
        state_.Register("run", &actor_, &Actor::Run);
        state_.Register("dice", &rec_, &Recorder::Dice);
        state_.Register("take", &rec_, &Recorder::Take);
        state_.Register("is_active", &rec_, &Recorder::IsActive);
    }

    int Top() const { return lua_gettop(state_.Handle()); }

    lua::State state_;
    Actor actor_{state_};
    Recorder rec_;
};

// A copy of a global outlives its binding: calling it is a Lua error, never a call through
// a destroyed proxy or object.
TEST_F(Safety, StaleCopyOfAnUnboundGlobalRaisesALuaError) {
    auto owner = std::make_unique<Recorder>();
    state_.Register("set_pos", owner.get(), &Recorder::SetPos2);
    state_.Execute("f = set_pos; vars = { g = set_pos }");
    state_.Unregister("set_pos");
    owner.reset();
    for (const char* script : {"f(1, 2)", "vars.g()"}) {
        try {
            state_.Execute(script);
            FAIL() << script;
        } catch (const lua::exception& e) {
            EXPECT_EQ(e.Text(), std::string("LUA: Runtime error\nMessage: Execute - call failed\n"
                                            "Code: ") +
                                    script);
        }
    }
    // A stale copy caught by pcall is an ordinary Lua error.
    state_.Execute("local ok, e = pcall(f); take(tostring(ok) .. ' ' .. e)");
    EXPECT_EQ(rec_.calls_, "Take(false called function is no longer bound)");
    EXPECT_EQ(Top(), 0);
}

TEST_F(Safety, StaleCopyOfAReplacedGlobalRaisesALuaError) {
    Recorder newer;
    state_.Execute("old = dice");
    state_.Register("dice", &newer, &Recorder::Dice);
    EXPECT_THROW(state_.Execute("old(1, 2)"), lua::exception);
    state_.Execute("dice(1, 2)");
    EXPECT_EQ(rec_.calls_, "");
    EXPECT_EQ(newer.calls_, "Dice(1,2)");
}

TEST_F(Safety, ProxyThatRebindsItsOwnNameFinishesItsCall) {
    state_.Execute("rebind(); rebind()");
    EXPECT_EQ(actor_.rebinds_, 1);
    EXPECT_EQ(actor_.other_.calls_, "Touch()");
}

// A call with fewer arguments than parameters reads the missing ones as nil and leaves the
// caller's locals alone.
TEST_F(Safety, MissingArgumentsLeaveTheCallersStackIntact) {
    state_.Execute("local a, b = 5, 'x'\n"
                   "local ok = pcall(dice)\n"
                   "local r = dice()\n"
                   "local ok2 = pcall(take)\n"
                   "assert(a == 5 and b == 'x' and ok and r == 0 and not ok2)\n"
                   "take(a .. b)");
    EXPECT_EQ(rec_.calls_, "Dice(0,0);Dice(0,0);Take(5x)");
    EXPECT_EQ(Top(), 0);
}

// Whatever a bound member throws reaches the caller of Execute or Call unchanged; inside a
// Lua pcall it is an ordinary Lua error and the script goes on.
TEST_F(Safety, ExceptionsOfBoundMembersCrossTheInterpreterUnchanged) {
    for (int kind = 1; kind <= 4; ++kind) {
        SCOPED_TRACE(kind);
        const std::string call = "fail(" + std::to_string(kind) + ")";
        std::string seen;
        try {
            state_.Execute(call);
        } catch (const exception& e) {
            seen = std::string("exception ") + e.what();
        } catch (const lua::exception& e) {
            seen = "lua " + e.Text();
        } catch (const std::runtime_error& e) {
            seen = std::string("runtime ") + e.what();
        } catch (int value) {
            seen = "int " + std::to_string(value);
        }
        const char* expected[] = {"", "exception engine error", "lua Not a string",
                                  "runtime standard error", "int 42"};
        EXPECT_EQ(seen, expected[kind]);
        EXPECT_EQ(Top(), 0);

        rec_.calls_.clear();
        state_.Execute("local ok = pcall(fail, " + std::to_string(kind) + ") take(tostring(ok))");
        EXPECT_EQ(rec_.calls_, "Take(false)");
        EXPECT_EQ(Top(), 0);
    }
    state_.Execute("function vardump() fail(1) end");
    EXPECT_THROW(state_.Call("vardump"), exception);
    EXPECT_EQ(Top(), 0);
}

TEST_F(Safety, ErrorOfANestedScriptReachesTheOuterCaller) {
    try {
        state_.Execute("run('error(1)')");
        FAIL() << "no error";
    } catch (const lua::exception& e) {
        EXPECT_EQ(e.Text(), "LUA: Runtime error\nMessage: Execute - call failed\nCode: error(1)");
    }
    state_.Execute("run('dice(3, 4)')");
    EXPECT_EQ(rec_.calls_, "Dice(3,4)");
    EXPECT_EQ(Top(), 0);
}

// Failed scripts pop their error values: the stack stays empty and memory stays flat.
TEST_F(Safety, ManyFailedScriptsLeaveNothingBehind) {
    const char* scripts[] = {"x = = 1", "error('e')", "fail(1)", "take({})", "missing()"};
    auto runAll = [&](int rounds) {
        for (int i = 0; i < rounds; ++i) {
            const char* script = scripts[i % 5];
            try {
                state_.Execute(script);
            } catch (const exception&) {
            } catch (const lua::exception&) {
            }
        }
        lua_gc(state_.Handle(), LUA_GCCOLLECT, 0);
        return lua_gc(state_.Handle(), LUA_GCCOUNT, 0);
    };
    const int before = runAll(1000);
    const int after = runAll(100000);
    EXPECT_EQ(Top(), 0);
    EXPECT_LE(after, before + 16); // kilobytes
}

} // namespace
