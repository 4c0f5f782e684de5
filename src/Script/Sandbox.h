#pragma once

#include <chrono>
#include <cstddef>
#include <lua.hpp>
#include <string>

namespace lua {

// How much an isolated chunk may do before it is stopped. A game's variables and the options
// are kilobytes, built in a few thousand instructions.
struct SandboxLimits {
    long instructions = 10'000'000;       // virtual machine instructions
    std::size_t bytes = 16u << 20;        // memory the run may add
    std::chrono::milliseconds time{1000}; // wall-clock time, from the start of the run
};

// The deepest nesting of a data table, the table itself counting as 1. The variable dump
// writes no deeper, and Lua's parser reads such a text back (it stops near 200 levels).
constexpr int kMaxDataDepth = 100;

// What a budgeted run may still spend; reached by the hook and the allocator of that run.
struct Budget {
    long instructionsLeft;
    long long bytesLeft;
    std::chrono::steady_clock::time_point deadline;
    lua_Alloc alloc;
    void* allocData;
};

// While it lives, whatever Lua code runs on `L` is held to `limits`: an instruction budget
// stops loops that never end with the error "too many instructions", a deadline stops runs
// whose instructions are slow (strings of megabytes compared or joined) with "ran for too
// long", and a memory budget stops runaway allocations. The interpreter's hook and allocator
// are put back at its end.
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

// Runs a Lua text that comes from outside the game (a save game's variables, the options
// file) so that it can do nothing but compute: its environment is the table on the top of the
// stack, with no way to the globals, the standard libraries or the engine's functions;
// strings have no methods while it runs; binary chunks are refused; the text is read and run
// within the budgets of `limits` (Budgeted). On success the environment table is left on
// the top of the stack and the answer is true; otherwise the table is popped and `error`
// holds the reason. The interpreter's hook and allocator are put back either way.
bool RunIn(lua_State* L, const std::string& code, const std::string& chunkName, std::string& error,
           const SandboxLimits& limits = {});

// RunIn with a new empty environment.
bool RunIsolated(lua_State* L, const std::string& code, const std::string& chunkName,
                 std::string& error, const SandboxLimits& limits = {});

// Why the value at `index` is not plain data the variable dump writes whole and Lua reads
// back: empty when it is a table holding only strings, numbers, booleans and tables of the
// same (keys included), nested no deeper than kMaxDataDepth, each table held in one place
// only (a table held twice, or inside itself, would be written once per place it is
// reached by); otherwise what is wrong, as the end of a sentence about the value.
std::string DataFault(lua_State* L, int index);

} // namespace lua
