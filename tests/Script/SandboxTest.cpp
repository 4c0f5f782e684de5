#include "Script/Sandbox.h"

#include "Script/State.h"

#include <gtest/gtest.h>

namespace {

// Texts from outside the game: only what builds plain data runs; the globals, the libraries,
// string methods and precompiled chunks are out of reach, and loops and allocations stop at
// their budgets. The interpreter is left as it was: its stack, its string methods and the
// hook of the caller.
TEST(Sandbox, RunsOnlyWhatBuildsData) {
    const struct {
        std::string code;
        const char* error; // empty: runs and leaves plain data in `vars`
    } cases[] = {
        {"vars = { a = 1, [\"b c\"] = { true, 0/0, -1/0 }, s = \"x\\0y\" }", ""},
        {"local t = { 1 } t.self = t vars = { t, t }", ""},
        {"local t = {} for i = 1, 100000 do t = { t } end vars = t", ""},
        {"vars = { f = function() end }", "plain"},
        {"vars = { [{ function() end }] = 1 }", "plain"},
        {"vars = 5", "plain"},
        {"", "plain"},
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
    const lua::SandboxLimits limits{1'000'000, 8u << 20};
    for (const auto& c : cases) {
        const int top = lua_gettop(L);
        std::string error;
        bool data = lua::RunIsolated(L, c.code, "=vars", error, limits);
        if (data) {
            lua_getfield(L, -1, "vars");
            data = lua::HoldsOnlyData(L, -1);
            lua_pop(L, 2);
            error = "plain";
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
}

} // namespace
