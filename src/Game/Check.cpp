#include "Game/Check.h"

#include "Game/Exception.h"
#include "Game/Log.h"

std::string LocationText(const std::string& where, const std::string& what,
                         const std::string& message) {
    return "\tAt " + where + "\n\tOn " + what + "\n" + message;
}

void CheckResult(int result, const char* where, const char* what, const char* message) {
    if (result == 0) {
        return;
    }
    LogWrite(LocationText(where, what, message != nullptr ? message : ""));
    throw exception(result, std::string());
}

void Assert(bool condition, const char* where, const char* what, const char* message) {
    if (condition) {
        return;
    }
    LogWrite(LocationText(where, what, message != nullptr ? message : ""));
    throw exception();
}

namespace {

[[noreturn]] void Refuse(const char* where, const char* what, const char* message,
                         const std::string& reason) {
    LogWrite(LocationText(where, what, message != nullptr ? message : ""));
    throw exception(reason);
}

} // namespace

void Require(bool condition, const char* where, const char* what, const std::string& reason) {
    if (!condition) {
        Refuse(where, what, nullptr, reason);
    }
}

void Require(bool condition, const char* where, const char* what, const char* reason,
             const char* message) {
    if (!condition) {
        Refuse(where, what, message, reason);
    }
}
