#pragma once

#include <string>

namespace lua {

// The error of the Lua binding layer: a plain record with one text. It is deliberately
// not a standard exception, so catchers of `::exception` and `std::exception` let it pass
// to their own handler. Thrown by value, caught by reference.
class exception {
public:
    // A text given as is ("Cannot create state", "Not a string").
    explicit exception(const std::string& text);
    // A failed load or call: the status's name, then "\nMessage: " + message and
    // "\nCode: " + code, each only when not empty.
    exception(int status, const std::string& message, const std::string& code);

    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

} // namespace lua
