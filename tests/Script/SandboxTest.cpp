#include "Script/Sandbox.h"

#include "Script/State.h"

#include <gtest/gtest.h>

namespace {

// Texts from outside the game: only what builds plain data runs; the globals, the libraries,
// string methods and precompiled chunks are out of reach, and loops, slow instructions and
// allocations stop at their budgets. Data is a tree of tables no deeper than the dump
// writes. The interpreter is left as it was: its stack, its string methods and the hook of
// the caller.
TEST(Sandbox, RunsOnlyWhatBuildsData) {
    const std::string nested = "vars = " + std::string(99, '{') + "{ 1 }" + std::string(99, '}');
    const struct {
        std::string code;
        const char* error; // empty: runs and leaves plain data in `vars`
    } cases[] = {
        {"vars = { a = 1, [\"b c\"] = { true, 0/0, -1/0 }, s = \"x\\0y\" }", ""},
        {nested, ""},
        {"vars = {" + nested.substr(7) + "}", "nested deeper than 100 tables"},
        {"local t = { 1 } t.self = t vars = { t }", "more than one place"},
        {"local t = {} vars = { t, { t } }", "more than one place"},
        {"local t = {} for i = 1, 1000 do t = { t } end vars = t", "nested deeper"},
        {"local s = 'x' for i = 1, 20 do s = s .. s end local t = s .. 'y' while s < t do end",
         "ran for too long"},
        {"vars = { f = function() end }", "not a table"},
        {"vars = { [{ function() end }] = 1 }", "not a table"},
        {"vars = 5", "not a table"},
        {"", "not a table"},
        {"vars = { s = ('x'):rep(3) }", "attempt to index a string value"},
        {"vars = { getmetatable('').__index }", "attempt to call global 'getmetatable'"},
        {"while true do end", "too many instructions"},
        {"local s = 'x' for i = 1, 30 do s = s .. s end", "not enough memory"},
        {"vars = {", "unexpected symbol"},
        {"\x1bLua\x51", "precompiled"},
    };
    lua::State state;
    lua_State* L = state.Handle();
    lua_sethook(L, nullptr, 0, 0);
    const lua::SandboxLimits limits{1'000'000, 8u << 20, std::chrono::milliseconds(100)};
    for (const auto& c : cases) {
        const int top = lua_gettop(L);
        std::string error;
        bool data = lua::RunIsolated(L, c.code, "=vars", error, limits);
        if (data) {
            lua_getfield(L, -1, "vars");
            error = lua::DataFault(L, -1);
            data = error.empty();
            lua_pop(L, 2);
        }
        EXPECT_EQ(data, c.error[0] == '\0') << c.code;
        if (!data) {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.code << ": " << error;
        }
        EXPECT_EQ(lua_gettop(L), top) << c.code;
        EXPECT_EQ(lua_gethook(L), nullptr) << c.code;
    }
    // Neither globals nor string methods were touched, and the game's own scripts still
    // run without limits.
    state.Execute("assert(vars == nil and io.open and ('ab'):rep(2) == 'abab')");
    state.Execute("local n = 0 for i = 1, 3000000 do n = n + 1 end");

    // A coroutine made under a budget keeps its hook, which counts nothing once the budget
    // is gone.
    {
        const lua::Budgeted budgeted(L, limits);
        state.Execute("spin = coroutine.create(function() for i = 1, 3000 do end end)");
    }
    state.Execute("assert(coroutine.resume(spin))");
}

} // namespace
