// Save games' vars texts from arbitrary bytes, run in the sandbox under small budgets: a run
// either leaves its environment or fails with a reason; the stack, the strings' methods and
// the interpreter's hook are as they were after it, and nothing may crash or leak.
#include "Script/Sandbox.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <lua.hpp>
#include <string>

namespace {

lua_State* g_lua = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_lua = luaL_newstate();
    if (g_lua == nullptr) {
        std::abort();
    }
    luaL_openlibs(g_lua);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lua_State* L = g_lua;
    const std::string code(reinterpret_cast<const char*>(data), size);
    const int top = lua_gettop(L);
    std::string error;
    if (lua::RunIsolated(L, code, "=vars", error, lua::SandboxLimits{20'000, 1u << 20})) {
        lua_getfield(L, -1, "vars");
        if (lua_istable(L, -1)) {
            lua::DataFault(L, -1);
        }
        lua_pop(L, 2);
    } else if (error.empty()) {
        std::abort();
    }
    if (lua_gettop(L) != top || lua_gethook(L) != nullptr) {
        std::abort();
    }
    lua_pushliteral(L, "ab");
    lua_getfield(L, -1, "rep"); // through the strings' metatable
    if (!lua_isfunction(L, -1)) {
        std::abort();
    }
    lua_pop(L, 2);
    lua_gc(L, LUA_GCCOLLECT, 0);
    return 0;
}
