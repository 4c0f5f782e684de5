#include "Script/Sandbox.h"

namespace lua {
namespace {

// Instructions between two looks at the budget. Small enough that even instructions that
// each take milliseconds (strings of megabytes compared) meet the deadline soon after it.
constexpr int kHookEvery = 100;

// The budget of the run in progress on this thread; null when none is.
thread_local Budget* g_budget = nullptr;

// A coroutine made during a run keeps this hook after the run: it then counts against
// whatever budget is active when it is resumed, and against nothing when none is.
void CountHook(lua_State* L, lua_Debug*) {
    Budget* budget = g_budget;
    if (budget == nullptr) {
        return;
    }
    // Raised without a place: the place would be that of whichever function the hook
    // caught, which says nothing about the run.
    budget->instructionsLeft -= kHookEvery;
    if (budget->instructionsLeft < 0) {
        lua_pushliteral(L, "too many instructions");
        lua_error(L);
    }
    if (std::chrono::steady_clock::now() > budget->deadline) {
        lua_pushliteral(L, "ran for too long");
        lua_error(L);
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

// Loads `code` and calls it with the table at `env` as its environment, all under the
// budget; answers the status of the step that failed, or 0, with Lua's message on the top
// of the stack when it failed.
int LoadAndCall(lua_State* L, const std::string& code, const std::string& chunkName, int env,
                const SandboxLimits& limits) {
    const Budgeted budgeted(L, limits);
    int status = luaL_loadbuffer(L, code.data(), code.size(), chunkName.c_str());
    if (status == 0) {
        lua_pushvalue(L, env);
        lua_setfenv(L, -2);
        status = lua_pcall(L, 0, 0, 0);
    }
    return status;
}

bool IsData(int type) {
    return type == LUA_TSTRING || type == LUA_TNUMBER || type == LUA_TBOOLEAN || type == LUA_TTABLE;
}

} // namespace

Budgeted::Budgeted(lua_State* L, const SandboxLimits& limits)
    : L_(L), budget_{limits.instructions, static_cast<long long>(limits.bytes),
                     std::chrono::steady_clock::now() + limits.time, nullptr, nullptr},
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

bool RunIn(lua_State* L, const std::string& code, const std::string& chunkName, std::string& error,
           const SandboxLimits& limits) {
    const int env = lua_gettop(L);
    // Precompiled chunks are not checked by the interpreter and could break it.
    if (!code.empty() && code.front() == LUA_SIGNATURE[0]) {
        error = "a precompiled chunk is not run";
        lua_pop(L, 1);
        return false;
    }
    // Slot env + 1: the strings' metatable (or nil); env + 2: its __index, taken away for the
    // run so that no string method (string.rep among them) is reachable.
    lua_pushliteral(L, "");
    const bool stringMeta = lua_getmetatable(L, -1) != 0;
    lua_remove(L, env + 1);
    if (stringMeta) {
        lua_pushliteral(L, "__index");
        lua_rawget(L, env + 1);
        lua_pushliteral(L, "__index");
        lua_pushnil(L);
        lua_rawset(L, env + 1);
    } else {
        lua_pushnil(L);
        lua_pushnil(L);
    }
    const int status = LoadAndCall(L, code, chunkName, env, limits);
    if (status != 0) {
        const char* message = lua_tostring(L, -1);
        error = message != nullptr ? message : "an error without a message";
    }
    if (stringMeta) {
        lua_pushliteral(L, "__index");
        lua_pushvalue(L, env + 2);
        lua_rawset(L, env + 1);
    }
    lua_settop(L, status == 0 ? env : env - 1);
    return status == 0;
}

bool RunIsolated(lua_State* L, const std::string& code, const std::string& chunkName,
                 std::string& error, const SandboxLimits& limits) {
    lua_newtable(L);
    return RunIn(L, code, chunkName, error, limits);
}

std::string DataFault(lua_State* L, int index) {
    const std::string notData = "is not a table of strings, numbers, booleans and tables";
    if (index < 0) {
        index = lua_gettop(L) + index + 1;
    }
    if (lua_type(L, index) != LUA_TTABLE || !lua_checkstack(L, 8)) {
        return notData;
    }
    // The tables met, each with its depth (`seen`), and those still to look through
    // (`queue`), walked breadth first so that deep nesting needs no deep C stack.
    lua_newtable(L);
    const int seen = lua_gettop(L);
    lua_newtable(L);
    const int queue = lua_gettop(L);
    int head = 1;
    int tail = 0;
    std::string fault;
    const auto visit = [&](int at, int depth) {
        const int type = lua_type(L, at);
        if (type != LUA_TTABLE) {
            if (!IsData(type)) {
                fault = notData;
            }
            return;
        }
        lua_pushvalue(L, at);
        lua_rawget(L, seen);
        const bool met = !lua_isnil(L, -1);
        lua_pop(L, 1);
        if (met) {
            fault = "holds a table in more than one place";
        } else if (depth > kMaxDataDepth) {
            fault = "is nested deeper than " + std::to_string(kMaxDataDepth) + " tables";
        } else {
            lua_pushvalue(L, at);
            lua_pushinteger(L, depth);
            lua_rawset(L, seen);
            lua_pushvalue(L, at);
            lua_rawseti(L, queue, ++tail);
        }
    };
    visit(index, 1);
    while (fault.empty() && head <= tail) {
        lua_rawgeti(L, queue, head++);
        lua_pushvalue(L, -1);
        lua_rawget(L, seen);
        const int depth = static_cast<int>(lua_tointeger(L, -1)) + 1;
        lua_pop(L, 1);
        lua_pushnil(L);
        while (lua_next(L, -2) != 0) {
            const int value = lua_gettop(L);
            visit(value - 1, depth);
            if (fault.empty()) {
                visit(value, depth);
            }
            lua_pop(L, 1);
            if (!fault.empty()) {
                lua_pop(L, 1); // the key: the walk ends here
                break;
            }
        }
        lua_pop(L, 1);
    }
    lua_settop(L, seen - 1);
    return fault;
}

} // namespace lua
