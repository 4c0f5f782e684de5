#include "Game/Exception.h"

std::string HResultText(int result, const std::string& where) {
    return "HRESULT: " + std::to_string(result) + "\n" + where;
}

exception::exception() = default;

exception::exception(const std::string& text) : text_(text) {}

exception::exception(int result, const std::string& where) : text_(HResultText(result, where)) {}

const char* exception::what() const noexcept {
    return text_.empty() ? "Unknown exception" : text_.c_str();
}
