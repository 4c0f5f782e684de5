#pragma once

#include <cstddef>
#include <lua.hpp>
#include <string>

namespace lua {

// How much an isolated chunk may do before it is stopped.
struct SandboxLimits {
    long instructions = 10'000'000; // virtual machine instructions
    std::size_t bytes = 256u << 20; // memory the run may add
};

// What a budgeted run may still spend; reached by the hook and the allocator of that run.
struct Budget {
    long instructionsLeft;
    long long bytesLeft;
    lua_Alloc alloc;
    void* allocData;
};

// While it lives, whatever Lua code runs on `L` is held to `limits`: an instruction budget
// stops loops that never end with the error "too many instructions", and a memory budget
// stops runaway allocations. The interpreter's hook and allocator are put back at its end.
class Budgeted {
public:
    Budgeted(lua_State* L, const SandboxLimits& limits);
    ~Budgeted();
    Budgeted(const Budgeted&) = delete;
    Budgeted& operator=(const Budgeted&) = delete;

private:
    lua_State* L_;
    Budget budget_;
    lua_Hook hook_;
    int mask_;
    int count_;
    Budget* outer_;
};

// Runs a Lua text that comes from outside the game (a save game's variables) so that it can
// do nothing but compute: its environment is a new empty table, with no way to the globals,
// the standard libraries or the engine's functions; strings have no methods while it runs;
// binary chunks are refused; an instruction budget stops loops that never end, and a memory
// budget stops runaway allocations. On success the environment table is left on the stack
// and the answer is true; otherwise nothing is left on the stack and `error` holds the
// reason. The interpreter's hook and allocator are put back either way.
bool RunIsolated(lua_State* L, const std::string& code, const std::string& chunkName,
                 std::string& error, const SandboxLimits& limits = {});

// Whether the table at `index` holds only strings, numbers, booleans and tables of the same
// (keys included, at any depth). A table met again is checked once.
bool HoldsOnlyData(lua_State* L, int index);

} // namespace lua
