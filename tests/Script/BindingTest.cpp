#include "Game/Exception.h"
#include "Recorder.h"
#include "Script/State.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

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

// Publishes every member of a Recorder and of an Actor, and a sink `put` that records what
// Lua hands it.
class Binding : public ::testing::Test {
protected:
    Binding() {
        state_.Register("text", &rec_, &Recorder::Text);
        state_.Register("take", &rec_, &Recorder::Take);
        state_.Register("touch", &rec_, &Recorder::Touch);
        state_.Register("fade", &rec_, &Recorder::Fade);
        state_.Register("dice", &rec_, &Recorder::Dice);
        state_.Register("has", &rec_, &Recorder::Has);
        state_.Register("set_pos3", &rec_, &Recorder::SetPos3);
        state_.Register("dist", &rec_, &Recorder::Dist);
        state_.Register("set_sound", &rec_, &Recorder::SetSound);
        state_.Register("is_active", &rec_, &Recorder::IsActive);
        state_.Register("put", &sink_, &Recorder::Take);
        state_.Register("fail", &actor_, &Actor::Throw);
        state_.Register("rebind", &actor_, &Actor::Rebind);
        state_.Register("run", &actor_, &Actor::Run);
    }

    std::string LuaError(const std::string& script) {
        return ErrorOf([&] { state_.Execute(script); });
    }
    int Top() const { return lua_gettop(state_.Handle()); }

    lua::State state_;
    Recorder rec_;
    Recorder sink_;
    Actor actor_{state_};
};

// Every signature through a real Lua call. Arguments bind by position from the last one:
// extra arguments bind the last values, missing ones read as nil; numbers pass as strings;
// ints truncate toward zero and saturate. The result comes back converted.
TEST_F(Binding, ArgumentsAndResultsConvert) {
    const struct {
        const char* call;
        const char* calls;  // what the member recorded
        const char* result; // tostring of the first result in Lua
    } cases[] = {
        {"text()", "Text()", "ctx"},
        {"take('hall')", "Take(hall)", "nil"},
        {"touch()", "Touch()", "nil"},
        {"fade('rain', 0.5, 2)", "Fade(rain,0.5,2)", "nil"},
        {"dice(1, 6)", "Dice(1,6)", "16"},
        {"has('key')", "Has(key)", "true"},
        {"set_pos3(1.5, -2, 300)", "SetPos3(1.5,-2,300)", "nil"},
        {"dist(1.25)", "Dist(1.25)", "2.5"},
        {"set_sound('wind', 7)", "SetSound(wind,7)", "nil"},
        {"is_active()", "", "true"},
        {"dice(0, 1, 6)", "Dice(1,6)", "16"},
        {"dice(5)", "Dice(0,5)", "5"},
        {"set_pos3(1, 2)", "SetPos3(0,1,2)", "nil"},
        {"take(12)", "Take(12)", "nil"},
        {"take('a\\0b')", "Take(a)", "nil"},
        {"dice(0, -2.9)", "Dice(0,-2)", "-2"},
        {"dice(0, ' 0x10 ')", "Dice(0,16)", "16"},
        {"dice({}, 'seven')", "Dice(0,0)", "0"},
        {"dice(1e300)", "Dice(0,2147483647)", "2147483647"},
        {"dice(-1e300)", "Dice(0,-2147483648)", "-2147483648"},
        {"dice(0, 0/0)", "Dice(0,0)", "0"},
        {"dist('2.5')", "Dist(2.5)", "5"},
        {"dist({})", "Dist(0)", "0"},
        {"set_sound(9, 8.9)", "SetSound(9,8)", "nil"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        rec_.calls_.clear();
        sink_.calls_.clear();
        state_.Execute(std::string("put(tostring((") + c.call + ")))");
        EXPECT_EQ(rec_.calls_, c.calls);
        EXPECT_EQ(sink_.calls_, std::string("Take(") + c.result + ")");
        EXPECT_EQ(Top(), 0);
    }
}

TEST_F(Binding, StringsEndAtTheFirstNulAndStringParametersRefuseOtherValues) {
    rec_.text_ = std::string("ab\0cd", 5);
    state_.Execute("put(text() .. '|' .. #text())");
    EXPECT_EQ(sink_.calls_, "Take(ab|2)");
    rec_.calls_.clear();
    for (const char* script : {"take({})", "take(nil)", "take()", "take(true)", "fade()"}) {
        EXPECT_EQ(LuaError(script), "Not a string") << script;
        EXPECT_EQ(Top(), 0);
    }
    EXPECT_EQ(rec_.calls_, "");
}

// An argument a function refuses is a Lua error of the script that passed it: logged once,
// with the line of the call, where the error leaves the script; not when the script catches it.
TEST_F(Binding, ARefusedArgumentIsLoggedWithTheLineOfTheCall) {
    const struct {
        const char* script;
        std::vector<std::string> logged;
    } cases[] = {
        {"x = 1\ntake(nil)", {"Lua error: [string \"x = 1...\"]:2: Not a string"}},
        {"run('take({})')", {"Lua error: [string \"take({})\"]:1: Not a string"}},
        {"run('error(1)')", {"Lua error: [string \"error(1)\"]:1: 1"}},
        {"pcall(take, nil) take(nil)",
         {"Lua error: [string \"pcall(take, nil) take(nil)\"]:1: Not a string"}},
    };
    for (const auto& c : cases) {
        const test::LogSince log;
        EXPECT_THROW(state_.Execute(c.script), lua::exception) << c.script;
        EXPECT_EQ(log.Lines(), c.logged) << c.script;
    }
    const test::LogSince log;
    state_.Execute("local ok = pcall(take, nil) assert(not ok)");
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(Binding, FailuresCarryTheStepAndTheCode) {
    EXPECT_EQ(LuaError("x = = 1"),
              "LUA: Syntax error\nMessage: Execute - load failed\nCode: x = = 1");
    EXPECT_EQ(LuaError("error('boom')"),
              "LUA: Runtime error\nMessage: Execute - call failed\nCode: error('boom')");
    EXPECT_EQ(LuaError(""), "no error");
    EXPECT_EQ(ErrorOf([&] { state_.Call("nothing_here"); }),
              "LUA: Runtime error\nMessage: Function call failed\nCode: nothing_here");
    state_.Execute("function vardump() put('dumped') end");
    state_.Call("vardump");
    EXPECT_EQ(sink_.calls_, "Take(dumped)");
    // A strict globals table that raises on unknown names fails the call the same way.
    state_.Execute("setmetatable(_G, { __index = function(t, k) error('undeclared ' .. k) end })");
    EXPECT_THROW(state_.Call("nothing_here"), lua::exception);
    // The error of a nested script reaches the outer caller.
    EXPECT_EQ(ErrorOf([&] { state_.Execute("run('error(1)')"); }),
              "LUA: Runtime error\nMessage: Execute - call failed\nCode: error(1)");
    state_.Execute("run('dice(3, 4)')");
    EXPECT_EQ(rec_.calls_, "Dice(3,4)");
    EXPECT_EQ(Top(), 0);
}

TEST_F(Binding, GlobalsTableThatRefusesNewNamesFailsRegistration) {
    state_.Execute("setmetatable(_G, { __newindex = function() error('locked') end })");
    EXPECT_EQ(ErrorOf([&] { state_.Register("fresh", &rec_, &Recorder::Touch); }),
              "LUA: Runtime error\nCode: fresh");
    EXPECT_EQ(ErrorOf([&] { state_.Unregister("gone"); }), "LUA: Runtime error\nCode: gone");
    EXPECT_EQ(Top(), 0);
    // Names already present are assigned without the metamethod.
    state_.Register("touch", &sink_, &Recorder::Touch);
    state_.Execute("touch()");
    EXPECT_EQ(sink_.calls_, "Touch()");
}

// One namespace: a newer registration hides the older one, and unregistering leaves nil.
// A Lua copy of a global outlives its binding: calling it once the global is unbound (and
// its object destroyed) or replaced is a Lua error, never a call through a stale proxy.
TEST_F(Binding, ReplacedOrUnboundGlobalsLeaveStaleCopiesThatRaise) {
    auto owner = std::make_unique<Recorder>();
    state_.Register("set_pos", owner.get(), &Recorder::SetPos3);
    state_.Execute("f = set_pos; vars = { g = set_pos }; old = dice");
    state_.Unregister("set_pos");
    state_.Unregister("never_published");
    owner.reset();
    Recorder newer;
    state_.Register("dice", &newer, &Recorder::Dice);
    state_.Execute("dice(2, 3); put(tostring(set_pos))");
    EXPECT_EQ(newer.calls_, "Dice(2,3)");
    EXPECT_EQ(sink_.calls_, "Take(nil)");
    for (const std::string script : {"f(1, 2)", "vars.g()", "old(1, 2)"}) {
        EXPECT_EQ(ErrorOf([&] { state_.Execute(script); }),
                  "LUA: Runtime error\nMessage: Execute - call failed\nCode: " + script);
    }
    state_.Execute("local ok, e = pcall(f); take(tostring(ok) .. ' ' .. e)");
    EXPECT_EQ(rec_.calls_, "Take(false called function is no longer bound)");
    EXPECT_EQ(newer.calls_, "Dice(2,3)");
    EXPECT_EQ(Top(), 0);
}

TEST_F(Binding, ProxyThatRebindsItsOwnNameFinishesItsCall) {
    state_.Execute("rebind(); rebind()");
    EXPECT_EQ(std::to_string(actor_.rebinds_) + " " + actor_.other_.calls_, "1 Touch()");
}

// A call with fewer arguments than parameters reads the missing ones as nil and leaves the
// caller's locals alone.
TEST_F(Binding, MissingArgumentsLeaveTheCallersStackIntact) {
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
TEST_F(Binding, ExceptionsOfBoundMembersCrossTheInterpreterUnchanged) {
    const char* expected[] = {"", "exception engine error", "lua Not a string",
                              "runtime standard error", "int 42"};
    for (int kind = 1; kind <= 4; ++kind) {
        SCOPED_TRACE(kind);
        std::string seen;
        try {
            state_.Execute("fail(" + std::to_string(kind) + ")");
        } catch (const exception& e) {
            seen = std::string("exception ") + e.what();
        } catch (const lua::exception& e) {
            seen = "lua " + e.Text();
        } catch (const std::runtime_error& e) {
            seen = std::string("runtime ") + e.what();
        } catch (int value) {
            seen = "int " + std::to_string(value);
        }
        EXPECT_EQ(seen, expected[kind]);
        rec_.calls_.clear();
        state_.Execute("local ok = pcall(fail, " + std::to_string(kind) + ") take(tostring(ok))");
        EXPECT_EQ(rec_.calls_, "Take(false)");
        EXPECT_EQ(Top(), 0);
    }
    state_.Execute("function vardump() fail(1) end");
    EXPECT_THROW(state_.Call("vardump"), exception);
    EXPECT_EQ(Top(), 0);
}

// Failed scripts pop their error values: the stack stays empty and memory stays flat.
TEST_F(Binding, ManyFailedScriptsLeaveNothingBehind) {
    const char* scripts[] = {"x = = 1", "error('e')", "fail(1)", "take({})", "missing()"};
    auto runAll = [&](int rounds) {
        for (int i = 0; i < rounds; ++i) {
            try {
                state_.Execute(scripts[i % 5]);
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

// A script text runs from its compiled chunk after the first time: the chunk is the same
// function on every run, sees the globals as they stand (whatever environment an earlier run
// gave it), and the cache, kept bounded, compiles again once it has started afresh; long
// texts are not kept.
TEST_F(Binding, ScriptsRunFromTheirCompiledChunk) {
    const std::string counted = "local f = debug.getinfo(1, 'f').func\n"
                                "chunks = chunks or {}\n"
                                "if not chunks[f] then chunks[f] = true; n = (n or 0) + 1 end\n"
                                "runs = (runs or 0) + 1; put(tostring(n) .. ',' .. runs .. ',' .. "
                                "tostring(seen))";
    const std::string reenvironed = "put(tostring(seen)); setfenv(1, { put = put })";
    state_.Execute(counted);
    state_.Execute("seen = 'x'");
    state_.Execute(reenvironed);
    state_.Execute(reenvironed);
    state_.Execute(counted);
    for (int i = 0; i < 300; ++i) {
        state_.Execute("filler = " + std::to_string(i));
    }
    state_.Execute(counted);
    // A long text (a save game's variables) is compiled on every run.
    const std::string padded = counted + "\n--" + std::string(5000, '-');
    state_.Execute(padded);
    state_.Execute(padded);
    EXPECT_EQ(sink_.calls_,
              "Take(1,1,nil);Take(x);Take(x);Take(1,2,x);Take(2,3,x);Take(3,4,x);Take(4,5,x)");
    EXPECT_EQ(Top(), 0);
}

// Texts of statuses no script above produces; the message and code lines are pinned there.
TEST(LuaException, TextNamesTheStatus) {
    const std::pair<int, const char*> cases[] = {{4, "LUA: Insufficient memory"},
                                                 {5, "LUA: Error processing error"},
                                                 {0, "LUA: Unspecified error"},
                                                 {6, "LUA: Unspecified error"}};
    for (const auto& [status, text] : cases) {
        EXPECT_EQ(lua::exception(status, "", "").Text(), text) << status;
    }
}

// PopString and PopInt convert the top value and pop exactly that one value; a refused
// value stays.
TEST(Pop, ConvertsTheTopValueAndPopsIt) {
    lua::State state;
    lua_State* L = state.Handle();
    lua_pushstring(L, "below");
    lua_pushnumber(L, -2.9);
    lua_pushlstring(L, "ab\0c", 4);
    lua_pushnumber(L, 12);
    EXPECT_EQ(lua::PopString(L), "12");
    EXPECT_EQ(lua::PopString(L), "ab");
    EXPECT_EQ(lua::PopInt(L), -2);
    lua_newtable(L);
    EXPECT_EQ(lua::PopInt(L), 0);
    lua_newtable(L);
    EXPECT_EQ(ErrorOf([&] { lua::PopString(L); }), "Not a string");
    EXPECT_EQ(lua_gettop(L), 2);
    lua_settop(L, 0);
    EXPECT_EQ(lua::PopInt(L), 0);
    EXPECT_THROW(lua::PopString(L), lua::exception);
    EXPECT_EQ(lua_gettop(L), 0);
}

} // namespace
