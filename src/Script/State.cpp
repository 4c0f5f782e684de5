#include "Script/State.h"

#include "Game/Where.h"

#include <utility>

namespace lua {

namespace {

// The error value that stands for a C++ exception stored in the State; only its address
// matters.
char g_sentinel;

const char* const kUnbound = "called function is no longer bound";

// Looks the global up and calls it inside the protected call, so an error raised while
// reading the global (a metamethod of the globals table) is reported like a failed call.
int CallGlobal(lua_State* L) {
    const auto* name = static_cast<const std::string*>(lua_touserdata(L, 1));
    lua_getfield(L, LUA_GLOBALSINDEX, name->c_str());
    lua_call(L, 0, 0);
    return 0;
}

// What SetGlobalValue sets: the closure of a published id, or nil for id 0.
struct GlobalValue {
    State* state;
    const std::string* name;
    std::uint64_t id;
};

int SetGlobalValue(lua_State* L) {
    const auto* value = static_cast<const GlobalValue*>(lua_touserdata(L, 1));
    if (value->id == 0) {
        lua_pushnil(L);
    } else {
        lua_pushnumber(L, static_cast<lua_Number>(value->id));
        lua_pushlightuserdata(L, value->state);
        lua_pushcclosure(L, &State::Dispatch, 2);
    }
    lua_setfield(L, LUA_GLOBALSINDEX, value->name->c_str());
    return 0;
}

// "chunk:line: " of the Lua function that called the running native function, or empty when
// no Lua function called it. Reads the call's debug record only: nothing is allocated in Lua.
std::string PlaceOfCaller(lua_State* L) {
    lua_Debug caller;
    if (lua_getstack(L, 1, &caller) == 0 || lua_getinfo(L, "Sl", &caller) == 0 ||
        caller.currentline <= 0) {
        return std::string();
    }
    return std::string(caller.short_src) + ":" + std::to_string(caller.currentline) + ": ";
}

} // namespace

State::State() : L_(luaL_newstate()) {
    if (L_ == nullptr) {
        throw exception("Cannot create state");
    }
    luaL_openlibs(L_);
}

State::~State() {
    // The interpreter goes first, so every proxy outlives its clean-up.
    lua_close(L_);
}

void State::Execute(const std::string& script) {
    pending_ = nullptr;
    if (const auto found = chunks_.find(script); found != chunks_.end()) {
        lua_rawgeti(L_, LUA_REGISTRYINDEX, found->second);
        // As a fresh load would: the chunk sees the globals, whatever an earlier run set.
        lua_pushvalue(L_, LUA_GLOBALSINDEX);
        lua_setfenv(L_, -2);
    } else {
        if (const int status = luaL_loadstring(L_, script.c_str())) {
            Fail(status, "Execute - load failed", script);
        }
        Keep(script);
    }
    if (const int status = lua_pcall(L_, 0, 0, 0)) {
        Fail(status, "Execute - call failed", script);
    }
}

bool State::Run(const std::string& script, const std::string& chunkName, std::string& message) {
    pending_ = nullptr;
    if (!script.empty() && script.front() == LUA_SIGNATURE[0]) {
        message = "a precompiled chunk is not run";
        return false;
    }
    int status = luaL_loadbuffer(L_, script.data(), script.size(), chunkName.c_str());
    if (status == 0) {
        status = lua_pcall(L_, 0, 0, 0);
    }
    if (status == 0) {
        return true;
    }
    const bool stored = lua_touserdata(L_, -1) == &g_sentinel;
    std::size_t length = 0;
    const char* text = lua_tolstring(L_, -1, &length);
    message = text != nullptr ? std::string(text, length) : "an error without a message";
    lua_pop(L_, 1);
    if (stored && pending_) {
        RethrowPending();
    }
    return false;
}

void State::Keep(const std::string& script) {
    if (script.size() > kMaxChunkText) {
        return;
    }
    if (chunks_.size() >= kMaxChunks) {
        for (const auto& chunk : chunks_) {
            luaL_unref(L_, LUA_REGISTRYINDEX, chunk.second);
        }
        chunks_.clear();
    }
    lua_pushvalue(L_, -1);
    chunks_.emplace(script, luaL_ref(L_, LUA_REGISTRYINDEX));
}

void State::Call(const std::string& name) {
    pending_ = nullptr;
    if (const int status = lua_cpcall(L_, &CallGlobal, const_cast<std::string*>(&name))) {
        Fail(status, "Function call failed", name);
    }
}

void State::Fail(int status, const std::string& message, const std::string& code) {
    const bool stored = lua_touserdata(L_, -1) == &g_sentinel;
    if (stored && pending_) {
        lua_pop(L_, 1);
        RethrowPending();
    }
    // The interpreter's own message (chunk name, line and what went wrong) goes to the log
    // with the place whose script it was; the error's text stays as it is.
    const char* reason = lua_tostring(L_, -1);
    Where::LuaError(reason != nullptr
                        ? reason
                        : std::string("(error object is a ") + luaL_typename(L_, -1) + " value)");
    lua_pop(L_, 1);
    reported_ = std::make_exception_ptr(exception(status, message, code));
    std::rethrow_exception(reported_);
}

void State::RethrowPending() {
    const std::exception_ptr error = std::exchange(pending_, nullptr);
    if (error != reported_ && !pendingText_.empty()) {
        Where::LuaError(pendingWhere_ + pendingText_);
        reported_ = error;
    }
    std::rethrow_exception(error);
}

void State::Publish(const std::string& name, std::shared_ptr<proxy> function) {
    const std::uint64_t id = ++lastId_;
    proxies_.emplace(id, std::move(function));
    auto [entry, added] = registry_.try_emplace(name, id);
    if (!added) {
        // The older proxy goes; a call of it that is running keeps its own reference.
        proxies_.erase(std::exchange(entry->second, id));
    }
    SetGlobal(name, id);
}

void State::Unregister(const std::string& name) {
    SetGlobal(name, 0);
    if (auto entry = registry_.find(name); entry != registry_.end()) {
        proxies_.erase(entry->second);
        registry_.erase(entry);
    }
}

void State::SetGlobal(const std::string& name, std::uint64_t id) {
    // Protected, so a metamethod of the globals table that raises an error ends in an
    // exception rather than in the interpreter's panic.
    GlobalValue value{this, &name, id};
    pending_ = nullptr;
    if (const int status = lua_cpcall(L_, &SetGlobalValue, &value)) {
        Fail(status, "", name);
    }
}

std::string State::CallerPlace() const {
    return caller_ != nullptr ? PlaceOfCaller(caller_) : std::string();
}

std::shared_ptr<proxy> State::Published(const std::string& name) const {
    const auto entry = registry_.find(name);
    if (entry == registry_.end()) {
        return nullptr;
    }
    const auto found = proxies_.find(entry->second);
    return found != proxies_.end() ? found->second : nullptr;
}

int State::Dispatch(lua_State* L) {
    auto* self = static_cast<State*>(lua_touserdata(L, lua_upvalueindex(2)));
    const auto id = static_cast<std::uint64_t>(lua_tonumber(L, lua_upvalueindex(1)));
    int results = -1;
    bool bound = false;
    lua_State* const outer = std::exchange(self->caller_, L);
    try {
        if (auto found = self->proxies_.find(id); found != self->proxies_.end()) {
            bound = true;
            // A copy, so a proxy that unbinds its own name finishes its call.
            const std::shared_ptr<proxy> function = found->second;
            results = (*function)(L);
        }
    } catch (const exception& e) {
        self->pending_ = std::current_exception();
        self->pendingText_ = e.Text();
        self->pendingWhere_ = PlaceOfCaller(L);
    } catch (...) {
        self->pending_ = std::current_exception();
        self->pendingText_.clear();
    }
    self->caller_ = outer;
    // Lua raises errors by long jumps: every C++ object of this call is gone by now.
    if (!bound) {
        return luaL_error(L, kUnbound);
    }
    if (results < 0) {
        lua_pushlightuserdata(L, &g_sentinel);
        return lua_error(L);
    }
    return results;
}

} // namespace lua
