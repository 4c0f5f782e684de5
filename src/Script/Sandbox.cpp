#include "Script/Sandbox.h"

namespace lua {
namespace {

constexpr int kHookEvery = 1000;

// The budget of the run in progress on this thread.
thread_local Budget* g_budget = nullptr;

void CountHook(lua_State* L, lua_Debug*) {
    g_budget->instructionsLeft -= kHookEvery;
    if (g_budget->instructionsLeft < 0) {
        luaL_error(L, "too many instructions");
    }
}

// Refuses growth past the budget; Lua then raises its memory error. Shrinking and freeing
// always pass, as Lua requires.
void* LimitedAlloc(void* data, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* budget = static_cast<Budget*>(data);
    const long long growth = static_cast<long long>(newSize) - static_cast<long long>(oldSize);
    if (growth > 0 && growth > budget->bytesLeft) {
        return nullptr;
    }
    void* result = budget->alloc(budget->allocData, block, oldSize, newSize);
    if (result != nullptr || newSize == 0) {
        budget->bytesLeft -= growth;
    }
    return result;
}

// Calls the loaded chunk on the top of the stack under the budget; answers lua_pcall's
// status.
int CallLimited(lua_State* L, const SandboxLimits& limits) {
    const Budgeted budgeted(L, limits);
    return lua_pcall(L, 0, 0, 0);
}

bool IsData(int type) {
    return type == LUA_TSTRING || type == LUA_TNUMBER || type == LUA_TBOOLEAN || type == LUA_TTABLE;
}

} // namespace

Budgeted::Budgeted(lua_State* L, const SandboxLimits& limits)
    : L_(L), budget_{limits.instructions, static_cast<long long>(limits.bytes), nullptr, nullptr},
      hook_(lua_gethook(L)), mask_(lua_gethookmask(L)), count_(lua_gethookcount(L)),
      outer_(g_budget) {
    budget_.alloc = lua_getallocf(L, &budget_.allocData);
    g_budget = &budget_;
    lua_setallocf(L, &LimitedAlloc, &budget_);
    lua_sethook(L, &CountHook, LUA_MASKCOUNT, kHookEvery);
}

Budgeted::~Budgeted() {
    lua_sethook(L_, hook_, mask_, count_);
    lua_setallocf(L_, budget_.alloc, budget_.allocData);
    g_budget = outer_;
}

bool RunIsolated(lua_State* L, const std::string& code, const std::string& chunkName,
                 std::string& error, const SandboxLimits& limits) {
    // Precompiled chunks are not checked by the interpreter and could break it.
    if (!code.empty() && code.front() == LUA_SIGNATURE[0]) {
        error = "a precompiled chunk is not run";
        return false;
    }
    const int top = lua_gettop(L);
    // Slot top + 1: the strings' metatable (or nil); top + 2: its __index, taken away for the
    // run so that no string method (string.rep among them) is reachable.
    lua_pushliteral(L, "");
    const bool stringMeta = lua_getmetatable(L, -1) != 0;
    lua_remove(L, top + 1);
    if (stringMeta) {
        lua_pushliteral(L, "__index");
        lua_rawget(L, top + 1);
        lua_pushliteral(L, "__index");
        lua_pushnil(L);
        lua_rawset(L, top + 1);
    } else {
        lua_pushnil(L);
        lua_pushnil(L);
    }
    lua_newtable(L); // top + 3: the environment
    int status = luaL_loadbuffer(L, code.data(), code.size(), chunkName.c_str());
    if (status == 0) {
        lua_pushvalue(L, top + 3);
        lua_setfenv(L, -2);
        status = CallLimited(L, limits);
    }
    if (status != 0) {
        const char* message = lua_tostring(L, -1);
        error = message != nullptr ? message : "an error without a message";
    }
    if (stringMeta) {
        lua_pushliteral(L, "__index");
        lua_pushvalue(L, top + 2);
        lua_rawset(L, top + 1);
    }
    if (status != 0) {
        lua_settop(L, top);
        return false;
    }
    lua_replace(L, top + 1);
    lua_settop(L, top + 1);
    return true;
}

bool HoldsOnlyData(lua_State* L, int index) {
    if (index < 0) {
        index = lua_gettop(L) + index + 1;
    }
    if (lua_type(L, index) != LUA_TTABLE || !lua_checkstack(L, 8)) {
        return false;
    }
    // The tables met (as keys of `seen`) and those still to look through (`queue`), walked
    // breadth first so that deep nesting needs no deep C stack.
    lua_newtable(L);
    const int seen = lua_gettop(L);
    lua_newtable(L);
    const int queue = lua_gettop(L);
    int head = 1;
    int tail = 0;
    const auto visit = [&](int at) {
        const int type = lua_type(L, at);
        if (type != LUA_TTABLE) {
            return IsData(type);
        }
        lua_pushvalue(L, at);
        lua_rawget(L, seen);
        const bool met = lua_toboolean(L, -1) != 0;
        lua_pop(L, 1);
        if (!met) {
            lua_pushvalue(L, at);
            lua_pushboolean(L, 1);
            lua_rawset(L, seen);
            lua_pushvalue(L, at);
            lua_rawseti(L, queue, ++tail);
        }
        return true;
    };
    bool only = visit(index);
    while (only && head <= tail) {
        lua_rawgeti(L, queue, head++);
        lua_pushnil(L);
        while (lua_next(L, -2) != 0) {
            const int value = lua_gettop(L);
            only = visit(value - 1) && visit(value);
            lua_pop(L, 1);
            if (!only) {
                lua_pop(L, 1); // the key: the walk ends here
                break;
            }
        }
        lua_pop(L, 1);
    }
    lua_settop(L, seen - 1);
    return only;
}

} // namespace lua
