#include "Script/Exception.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    int status;
    const char* message;
    const char* code;
    const char* text;
};

TEST(LuaException, TextNamesTheStatusThenMessageAndCode) {
    const TextCase cases[] = {
        {2, "", "", "LUA: Runtime error"},
        {3, "", "", "LUA: Syntax error"},
        {4, "", "", "LUA: Insufficient memory"},
        {5, "", "", "LUA: Error processing error"},
        {0, "", "", "LUA: Unspecified error"},
        {1, "", "", "LUA: Unspecified error"},
        {6, "", "", "LUA: Unspecified error"},
        {-1, "", "", "LUA: Unspecified error"},
        {2, "Function call failed", "", "LUA: Runtime error\nMessage: Function call failed"},
        {3, "", "x = = 1", "LUA: Syntax error\nCode: x = = 1"},
        {2, "Execute - call failed", "f()",
         "LUA: Runtime error\nMessage: Execute - call failed\nCode: f()"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lua::exception(c.status, c.message, c.code).Text(), c.text) << c.status;
    }
    EXPECT_EQ(lua::exception("Not a string").Text(), "Not a string");
}

} // namespace
