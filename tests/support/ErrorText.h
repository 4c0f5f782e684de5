#pragma once

#include "Game/Exception.h"

#include <string>

namespace test {

// The text of the engine exception `action` throws, or "no exception" when it returns.
// Other exceptions pass through and fail the test.
template <typename Action>
std::string ErrorText(Action&& action) {
    try {
        action();
    } catch (const exception& e) {
        return e.what();
    }
    return "no exception";
}

} // namespace test
