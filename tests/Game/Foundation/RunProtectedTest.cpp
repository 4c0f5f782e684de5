#include "Game/Exception.h"
#include "Game/Startup.h"
#include "Script/Exception.h"

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct ProtectedCase {
    std::function<int()> block;
    int code;
    const char* error;
};

TEST(RunProtected, ReportsEachKindOfErrorByItsText) {
    const ProtectedCase cases[] = {
        {[] { return 0; }, 0, ""},
        {[]() -> int { throw exception("HRESULT: 1\n"); }, 1, "HRESULT: 1\n"},
        {[]() -> int { throw lua::exception("Cannot create state"); }, 1, "Cannot create state"},
        {[]() -> int { throw lua::exception(3, "Execute - load failed", "x = = 1"); }, 1,
         "LUA: Syntax error\nMessage: Execute - load failed\nCode: x = = 1"},
        {[] { return 7; }, 7, ""},
        {[]() -> int { throw exception(); }, 1, "Unknown exception"},
        {[]() -> int { throw std::runtime_error("decoder"); }, 1, "Unspecified error"},
        {[]() -> int { throw 42; }, 1, "Unspecified error"},
    };
    for (const auto& c : cases) {
        std::string error = "stale";
        EXPECT_EQ(RunProtected(c.block, error), c.code);
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
