#pragma once

#include "Script/Pop.h"

#include <lua.hpp>
#include <string>
#include <type_traits>
#include <utility>

namespace lua {

// A function published to Lua. The call operator reads its arguments from the stack of the
// running call, calls, pushes its result and answers the number of results pushed (0 or 1).
class proxy {
public:
    virtual int operator()(lua_State* L) = 0;
    virtual ~proxy() = default;
};

namespace details {

// How one parameter type is read from the stack. Only the types the engine publishes are
// defined; any other type fails to compile here.
template <typename T>
struct Arg;

template <>
struct Arg<int> {
    static int Read(lua_State* L, int index) { return IntAt(L, index); }
};

template <>
struct Arg<float> {
    static float Read(lua_State* L, int index) { return FloatAt(L, index); }
};

template <>
struct Arg<std::string> {
    static std::string Read(lua_State* L, int index) { return StringAt(L, index); }
};

// How one result is pushed: answers the number of values pushed.
template <typename R>
struct Result;

template <>
struct Result<int> {
    static int Push(lua_State* L, int value) {
        lua_pushinteger(L, value);
        return 1;
    }
};

template <>
struct Result<float> {
    static int Push(lua_State* L, float value) {
        lua_pushnumber(L, static_cast<lua_Number>(value));
        return 1;
    }
};

template <>
struct Result<std::string> {
    // Pushed as a C string, so the text ends at its first NUL.
    static int Push(lua_State* L, const std::string& value) {
        lua_pushstring(L, value.c_str());
        return 1;
    }
};

template <>
struct Result<bool> {
    static int Push(lua_State* L, bool value) {
        lua_pushboolean(L, value ? 1 : 0);
        return 1;
    }
};

// The bound object (not owned) and its member function; M is the member pointer type.
template <typename C, typename M>
struct proxy_obj_base {
    proxy_obj_base(C* o, M m) : object(o), member(m) {}

    C* object;
    M member;
};

// Calls `object->*member` with parameters p1..pn read from the last n values of the call,
// in place: with top values on the stack, pk is at index top - n + k. More arguments than
// parameters bind the last n; a missing argument reads as nil. The stack below the call's
// own frame is never touched.
template <typename C, typename M>
class proxy_obj : public proxy_obj_base<C, M>, public proxy {
public:
    proxy_obj(C* object, M member) : proxy_obj_base<C, M>(object, member) {}

    int operator()(lua_State* L) override { return Invoke(L, this->object, this->member); }

private:
    template <typename O, typename R, typename... A>
    static int Invoke(lua_State* L, O* object, R (O::*member)(A...)) {
        return Call<R, A...>(L, [&](auto&&... args) { return (object->*member)(args...); });
    }

    template <typename O, typename R, typename... A>
    static int Invoke(lua_State* L, O* object, R (O::*member)(A...) const) {
        return Call<R, A...>(L, [&](auto&&... args) { return (object->*member)(args...); });
    }

    template <typename R, typename... A, typename F>
    static int Call(lua_State* L, F&& call) {
        const int base = lua_gettop(L) - static_cast<int>(sizeof...(A));
        return CallWith<R, A...>(L, base, call, std::index_sequence_for<A...>{});
    }

    template <typename R, typename... A, typename F, std::size_t... I>
    static int CallWith(lua_State* L, int base, F& call, std::index_sequence<I...>) {
        if constexpr (std::is_void_v<R>) {
            call(Arg<std::remove_cvref_t<A>>::Read(L, base + static_cast<int>(I) + 1)...);
            return 0;
        } else {
            return Result<std::remove_cvref_t<R>>::Push(
                L, call(Arg<std::remove_cvref_t<A>>::Read(L, base + static_cast<int>(I) + 1)...));
        }
    }
};

} // namespace details
} // namespace lua
