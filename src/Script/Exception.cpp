#include "Script/Exception.h"

#include <lua.hpp>

namespace lua {

namespace {

const char* StatusText(int status) {
    switch (status) {
    case LUA_ERRRUN:
        return "LUA: Runtime error";
    case LUA_ERRSYNTAX:
        return "LUA: Syntax error";
    case LUA_ERRMEM:
        return "LUA: Insufficient memory";
    case LUA_ERRERR:
        return "LUA: Error processing error";
    default:
        return "LUA: Unspecified error";
    }
}

} // namespace

exception::exception(const std::string& text) : text_(text) {}

exception::exception(int status, const std::string& message, const std::string& code)
    : text_(StatusText(status)) {
    if (!message.empty()) {
        text_ += "\nMessage: " + message;
    }
    if (!code.empty()) {
        text_ += "\nCode: " + code;
    }
}

} // namespace lua
