#pragma once

#include "Game/Exception.h"

#include <functional>
#include <string>

namespace test {

// The what() of the engine exception that `action` throws; "" when it throws none.
inline std::string ThrownText(const std::function<void()>& action) {
    try {
        action();
    } catch (const exception& e) {
        return e.what();
    }
    return "";
}

} // namespace test
