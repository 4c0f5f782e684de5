#include "Recorder.h"
#include "Script/State.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// Publishes every member of a Recorder, and a sink `put` that records what Lua hands it.
class Binding : public ::testing::Test {
protected:
    Binding() {
        state_.Register("text", &rec_, &Recorder::Text);
        state_.Register("take", &rec_, &Recorder::Take);
        state_.Register("touch", &rec_, &Recorder::Touch);
        state_.Register("flag", &rec_, &Recorder::Flag);
        state_.Register("value", &rec_, &Recorder::Value);
        state_.Register("take_ref", &rec_, &Recorder::TakeRef);
        state_.Register("fade", &rec_, &Recorder::Fade);
        state_.Register("dice", &rec_, &Recorder::Dice);
        state_.Register("halt", &rec_, &Recorder::Halt);
        state_.Register("mask", &rec_, &Recorder::Mask);
        state_.Register("save_part", &rec_, &Recorder::SavePart);
        state_.Register("save_time", &rec_, &Recorder::SaveTime);
        state_.Register("has", &rec_, &Recorder::Has);
        state_.Register("set_pos3", &rec_, &Recorder::SetPos3);
        state_.Register("set_fov", &rec_, &Recorder::SetFov);
        state_.Register("dist", &rec_, &Recorder::Dist);
        state_.Register("dist_ex", &rec_, &Recorder::DistEx);
        state_.Register("set_sound", &rec_, &Recorder::SetSound);
        state_.Register("set_pos2", &rec_, &Recorder::SetPos2);
        state_.Register("is_active", &rec_, &Recorder::IsActive);
        state_.Register("put", &sink_, &Recorder::Take);
    }

    // The text of the lua::exception an action throws, or "no error".
    static std::string ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const lua::exception& e) {
            return e.Text();
        }
        return "no error";
    }
    std::string LuaError(const std::string& script) {
        return ErrorOf([&] { state_.Execute(script); });
    }

    lua::State state_;
    Recorder rec_;
    Recorder sink_;
};

struct SignatureCase {
    const char* call;
    const char* calls;  // what the member recorded
    const char* result; // tostring of the first result in Lua
};

// Every signature through a real Lua call: the arguments bound, the result converted.
TEST_F(Binding, EverySignatureConvertsArgumentsAndResult) {
    const SignatureCase cases[] = {
        {"text()", "Text()", "ctx"},
        {"take('hall')", "Take(hall)", "nil"},
        {"touch()", "Touch()", "nil"},
        {"flag()", "Flag()", "true"},
        {"value()", "Value()", "1.5"},
        {"take_ref('door')", "TakeRef(door)", "nil"},
        {"fade('rain', 0.5, 2)", "Fade(rain,0.5,2)", "nil"},
        {"dice(1, 6)", "Dice(1,6)", "16"},
        {"halt(0.25)", "Halt(0.25)", "nil"},
        {"mask(3)", "Mask(3)", "nil"},
        {"save_part(4)", "SavePart(4)", "part4"},
        {"save_time(2)", "SaveTime(2)", "2.25"},
        {"has('key')", "Has(key)", "true"},
        {"has('box')", "Has(box)", "false"},
        {"set_pos3(1.5, -2, 300)", "SetPos3(1.5,-2,300)", "nil"},
        {"set_fov(60, 100)", "SetFov(60,100)", "nil"},
        {"dist(1.25)", "Dist(1.25)", "2.5"},
        {"dist_ex(1, 0.5)", "DistEx(1,0.5)", "1.5"},
        {"set_sound('wind', 7)", "SetSound(wind,7)", "nil"},
        {"set_pos2(0.5, 0.75)", "SetPos2(0.5,0.75)", "nil"},
        {"is_active()", "", "true"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        rec_.calls_.clear();
        sink_.calls_.clear();
        state_.Execute(std::string("put(tostring((") + c.call + ")))");
        EXPECT_EQ(rec_.calls_, c.calls);
        EXPECT_EQ(sink_.calls_, std::string("Take(") + c.result + ")");
        EXPECT_EQ(lua_gettop(state_.Handle()), 0);
    }
}

struct BindingCase {
    const char* script;
    const char* calls;
};

// Arguments are bound by position from the last one; extra arguments bind the last values,
// missing ones read as nil; numbers pass as strings; ints truncate toward zero.
TEST_F(Binding, ArgumentsBindByPositionFromTheEnd) {
    const BindingCase cases[] = {
        {"dice(1, 6)", "Dice(1,6)"},
        {"dice(0, 1, 6)", "Dice(1,6)"},
        {"dice(5)", "Dice(0,5)"},
        {"dice()", "Dice(0,0)"},
        {"take(12)", "Take(12)"},
        {"take(1.5)", "Take(1.5)"},
        {"take_ref(-3)", "TakeRef(-3)"},
        {"take('a\\0b')", "Take(a)"},
        {"mask(2.9)", "Mask(2)"},
        {"mask(-2.9)", "Mask(-2)"},
        {"mask('7')", "Mask(7)"},
        {"mask(' 0x10 ')", "Mask(16)"},
        {"mask({})", "Mask(0)"},
        {"mask('seven')", "Mask(0)"},
        {"mask(true)", "Mask(0)"},
        {"mask(nil)", "Mask(0)"},
        {"mask(1e300)", "Mask(2147483647)"},
        {"mask(-1e300)", "Mask(-2147483648)"},
        {"mask(0/0)", "Mask(0)"},
        {"halt('2.5')", "Halt(2.5)"},
        {"halt({})", "Halt(0)"},
        {"halt()", "Halt(0)"},
        {"set_sound(9, 8.9)", "SetSound(9,8)"},
        {"set_pos3(1, 2)", "SetPos3(0,1,2)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        rec_.calls_.clear();
        state_.Execute(c.script);
        EXPECT_EQ(rec_.calls_, c.calls);
        EXPECT_EQ(lua_gettop(state_.Handle()), 0);
    }
}

TEST_F(Binding, StringResultEndsAtItsFirstNul) {
    rec_.text_ = std::string("ab\0cd", 5);
    state_.Execute("put(text() .. '|' .. #text())");
    EXPECT_EQ(sink_.calls_, "Take(ab|2)");
}

TEST_F(Binding, StringParameterRejectsOtherValues) {
    for (const char* script : {"take({})", "take(nil)", "take()", "take(true)", "fade()"}) {
        SCOPED_TRACE(script);
        EXPECT_EQ(LuaError(script), "Not a string");
        EXPECT_EQ(lua_gettop(state_.Handle()), 0);
    }
    EXPECT_EQ(rec_.calls_, "");
}

// One namespace: a newer registration hides the older one, and unregistering leaves nil
// even where another object had published the name before.
TEST_F(Binding, RegisteringANameAgainReplacesIt) {
    Recorder newer;
    state_.Register("dice", &newer, &Recorder::Dice);
    state_.Execute("dice(2, 3)");
    EXPECT_EQ(rec_.calls_, "");
    EXPECT_EQ(newer.calls_, "Dice(2,3)");

    state_.Unregister("dice");
    state_.Execute("put(tostring(dice))");
    EXPECT_EQ(sink_.calls_, "Take(nil)");

    state_.Unregister("never_published");
    state_.Execute("x = 1; x = nil; put(type(x))");
    EXPECT_EQ(sink_.calls_, "Take(nil);Take(nil)");
}

TEST_F(Binding, FailuresCarryTheStepAndTheCode) {
    EXPECT_EQ(LuaError("x = = 1"),
              "LUA: Syntax error\nMessage: Execute - load failed\nCode: x = = 1");
    EXPECT_EQ(LuaError("error('boom')"),
              "LUA: Runtime error\nMessage: Execute - call failed\nCode: error('boom')");
    EXPECT_EQ(LuaError("missing()"),
              "LUA: Runtime error\nMessage: Execute - call failed\nCode: missing()");
    EXPECT_EQ(LuaError(""), "no error");
    EXPECT_EQ(lua_gettop(state_.Handle()), 0);
}

TEST_F(Binding, CallRunsAGlobalFunctionByName) {
    state_.Execute("function vardump() put('dumped') end");
    state_.Call("vardump");
    EXPECT_EQ(sink_.calls_, "Take(dumped)");
    try {
        state_.Call("nothing_here");
        FAIL() << "no error";
    } catch (const lua::exception& e) {
        EXPECT_EQ(e.Text(),
                  "LUA: Runtime error\nMessage: Function call failed\nCode: nothing_here");
    }
    // A strict globals table that raises on unknown names fails the call the same way.
    state_.Execute("setmetatable(_G, { __index = function(t, k) error('undeclared ' .. k) end })");
    EXPECT_THROW(state_.Call("nothing_here"), lua::exception);
    EXPECT_EQ(lua_gettop(state_.Handle()), 0);
}

TEST_F(Binding, GlobalsTableThatRefusesNewNamesFailsRegistration) {
    state_.Execute("setmetatable(_G, { __newindex = function() error('locked') end })");
    EXPECT_EQ(ErrorOf([&] { state_.Register("fresh", &rec_, &Recorder::Touch); }),
              "LUA: Runtime error\nCode: fresh");
    EXPECT_EQ(ErrorOf([&] { state_.Unregister("gone"); }), "LUA: Runtime error\nCode: gone");
    EXPECT_EQ(lua_gettop(state_.Handle()), 0);
    // Names already present are assigned without the metamethod.
    state_.Register("touch", &sink_, &Recorder::Touch);
    state_.Execute("touch()");
    EXPECT_EQ(sink_.calls_, "Touch()");
}

TEST_F(Binding, EveryStandardLibraryIsOpen) {
    state_.Execute("put(type(string.format) .. type(table.concat) .. type(math.floor) .."
                   " type(io.write) .. type(os.time) .. type(coroutine.create) .."
                   " type(debug.traceback) .. type(package.loaded))");
    EXPECT_EQ(sink_.calls_, "Take(functionfunctionfunctionfunctionfunctionfunctionfunctiontable)");
}

} // namespace
