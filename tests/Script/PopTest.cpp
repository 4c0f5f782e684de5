#include "Script/Exception.h"
#include "Script/State.h"

#include <gtest/gtest.h>

namespace {

// PopString and PopInt convert the top value and pop exactly that one value.
TEST(Pop, ConvertsTheTopValueAndPopsIt) {
    lua::State state;
    lua_State* L = state.Handle();
    lua_pushstring(L, "below");
    lua_pushnumber(L, -2.9);
    lua_pushstring(L, "7");
    lua_pushlstring(L, "ab\0c", 4);
    lua_pushnumber(L, 12);
    EXPECT_EQ(lua::PopString(L), "12");
    EXPECT_EQ(lua::PopString(L), "ab");
    EXPECT_EQ(lua::PopInt(L), 7);
    EXPECT_EQ(lua::PopInt(L), -2);
    EXPECT_EQ(lua_gettop(L), 1);

    lua_newtable(L);
    EXPECT_EQ(lua::PopInt(L), 0);
    lua_newtable(L);
    try {
        lua::PopString(L);
        FAIL() << "no error";
    } catch (const lua::exception& e) {
        EXPECT_EQ(e.Text(), "Not a string");
    }
    EXPECT_EQ(lua_gettop(L), 2); // the refused table stays

    lua_settop(L, 0);
    EXPECT_EQ(lua::PopInt(L), 0);
    EXPECT_THROW(lua::PopString(L), lua::exception);
    EXPECT_EQ(lua_gettop(L), 0);
}

} // namespace
