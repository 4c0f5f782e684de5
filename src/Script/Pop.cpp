#include "Script/Pop.h"

#include "Script/Exception.h"

#include <climits>
#include <cmath>

namespace lua {

namespace {

// Truncation toward zero that stays defined for every double: out-of-range values
// saturate and NaN gives 0.
int Truncate(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483648.0) {
        return INT_MAX;
    }
    if (value <= -2147483649.0) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

} // namespace

namespace details {

std::string StringAt(lua_State* L, int index) {
    if (index < 1 || !lua_isstring(L, index)) {
        throw exception("Not a string");
    }
    return std::string(lua_tolstring(L, index, nullptr));
}

int IntAt(lua_State* L, int index) {
    if (index < 1 || !lua_isnumber(L, index)) {
        return 0;
    }
    return Truncate(lua_tonumber(L, index));
}

float FloatAt(lua_State* L, int index) {
    if (index < 1) {
        return 0.0f;
    }
    return static_cast<float>(lua_tonumber(L, index));
}

} // namespace details

std::string PopString(lua_State* L) {
    std::string text = details::StringAt(L, lua_gettop(L));
    lua_settop(L, -2);
    return text;
}

int PopInt(lua_State* L) {
    const int top = lua_gettop(L);
    const int value = details::IntAt(L, top);
    if (top >= 1) {
        lua_settop(L, -2);
    }
    return value;
}

} // namespace lua
