#pragma once

#include "Script/Exception.h"
#include "Script/Proxy.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <lua.hpp>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

namespace lua {

// The program's Lua interpreter, with every standard library opened, and the registry of
// the member functions published to it as global functions.
//
// A published global is a closure over Dispatch whose upvalues are the proxy's id and this
// State. The id is looked up in the registry on each call, so a Lua copy of a global that
// has since been unregistered or replaced raises a Lua error instead of reaching a
// destroyed proxy.
//
// No C++ exception crosses the interpreter: Dispatch stores an exception thrown by a
// proxy and raises a Lua error carrying a sentinel; Execute and Call rethrow the stored
// exception unchanged when that sentinel ends the script.
class State {
public:
    // Throws lua::exception "Cannot create state" when the interpreter cannot be made.
    State();
    ~State();
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // Runs a script. A failure throws lua::exception ("Execute - load failed" or
    // "Execute - call failed" with the script as the code), or the exception a bound
    // function threw. The Lua stack is left as it was found. The compiled chunk is kept by
    // its text, so a script run every frame (an event) is compiled once.
    void Execute(const std::string& script);

    // Runs a text under a chunk name, with which Lua's messages begin ("=name" gives
    // "name:3: ..."). A Lua error, or a binary chunk (which is refused), answers false with
    // Lua's message in `message`; an exception a bound function threw is rethrown as it is.
    bool Run(const std::string& script, const std::string& chunkName, std::string& message);

    // Calls the global function `name` without arguments or results. A failure throws
    // lua::exception ("Function call failed" with the name as the code), or the exception
    // a bound function threw.
    void Call(const std::string& name);

    // Publishes `(object->*member)(...)` as the global function `name`, replacing an older
    // global and proxy of that name. The object is not owned and must outlive the binding.
    template <typename C, typename M>
    void Register(const std::string& name, C* object, M member) {
        Publish(name, std::make_shared<details::proxy_obj<C, M>>(object, member));
    }

    // Sets the global `name` to nil and drops its proxy, if this State published one.
    // Both throw lua::exception, with the name as the code, when a metamethod of the
    // globals table refuses the assignment.
    void Unregister(const std::string& name);

    // The function published under `name`, or null. Holding it keeps it alive after it is
    // replaced or unregistered, so a scope that binds the name for a while can publish it
    // again afterwards (Publish).
    std::shared_ptr<proxy> Published(const std::string& name) const;

    // Publishes a function as the global `name`, replacing an older global and proxy; throws
    // as Register does.
    void Publish(const std::string& name, std::shared_ptr<proxy> function);

    // The native function behind every published global.
    static int Dispatch(lua_State* L);

    // "chunk:line: " of the script that called the published function running now, for a log
    // line that says which script asked; empty when no script called one.
    std::string CallerPlace() const;

    // The interpreter handle.
    lua_State* Handle() const { return L_; }

private:
    // Sets the global `name` to the closure of proxy `id`, or to nil when `id` is 0. A
    // failure throws lua::exception with the name as the code.
    void SetGlobal(const std::string& name, std::uint64_t id);
    // Ends a failed load or call: pops the error value and throws.
    [[noreturn]] void Fail(int status, const std::string& message, const std::string& code);
    // Rethrows the exception a bound function threw, after logging it with its place when it
    // is a lua::exception (an argument the function refused) not logged yet.
    [[noreturn]] void RethrowPending();
    // Keeps the chunk on the top of the stack (left there) as the compiled `script`, unless
    // the text is long (a save game's variables, the options: run once, and large). The cache
    // is bounded: when full it starts again empty, so texts made on the fly cannot make it
    // grow without end.
    void Keep(const std::string& script);

    lua_State* L_;
    // Global name -> id of its proxy; id -> proxy. Ids count up from 1 and are never
    // reused, so a stale closure's id finds nothing.
    std::map<std::string, std::uint64_t> registry_;
    std::unordered_map<std::uint64_t, std::shared_ptr<proxy>> proxies_;
    std::uint64_t lastId_ = 0;
    static constexpr std::size_t kMaxChunks = 256;
    static constexpr std::size_t kMaxChunkText = 4096;
    // Script text -> registry reference of its compiled chunk.
    std::unordered_map<std::string, int> chunks_;
    // The exception a bound function threw, kept while the Lua error unwinds, with its text
    // (a lua::exception's; empty for any other) and where the script called the function
    // ("chunk:line: ", or empty when that was no Lua function).
    std::exception_ptr pending_;
    std::string pendingText_;
    std::string pendingWhere_;
    // The interpreter (or coroutine) whose script called the published function running now,
    // or null.
    lua_State* caller_ = nullptr;
    // The last error logged with its place, so that a script running scripts of its own
    // (through `move`) logs an error of the inner one once, where it arose.
    std::exception_ptr reported_;
};

} // namespace lua
