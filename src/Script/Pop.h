#pragma once

#include <lua.hpp>
#include <string>

namespace lua {

// The top value as a string (a string, or a number in its text form) up to its first NUL,
// then popped. Anything else, or an empty stack, throws lua::exception "Not a string"
// and pops nothing.
std::string PopString(lua_State* L);

// The top value as an int (a number or numeric string truncated toward zero, anything
// else 0), then popped. An empty stack answers 0 and pops nothing.
int PopInt(lua_State* L);

namespace details {

// The conversions of a bound function's arguments, read in place at an absolute stack
// index. An index below 1 stands for a missing argument and reads as nil.
std::string StringAt(lua_State* L, int index);
int IntAt(lua_State* L, int index);
float FloatAt(lua_State* L, int index);

} // namespace details
} // namespace lua
