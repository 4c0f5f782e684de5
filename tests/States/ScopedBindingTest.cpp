#include "States/ScopedBinding.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct Answer {
    int value;
    int Get() { return value; }
};

class ScopedBindingTest : public ::testing::Test {
protected:
    std::string Eval(const std::string& expression) {
        lua_.Execute("__result = tostring(" + expression + ")");
        lua_getfield(lua_.Handle(), LUA_GLOBALSINDEX, "__result");
        std::string text = lua_tostring(lua_.Handle(), -1);
        lua_pop(lua_.Handle(), 1);
        return text;
    }

    lua::State lua_;
    Answer a_{1}, b_{2}, c_{3};
};

// Each scope restores what was bound before it, on an exception too; a name bound twice in
// one scope ends as before the first binding.
TEST_F(ScopedBindingTest, ScopesRestoreWhatWasBoundBefore) {
    lua_.Register("get", &a_, &Answer::Get); // bound for longer, as a panorama's functions are
    {
        State::ScopedBinding outer(lua_);
        outer.Bind("get", &b_, &Answer::Get);
        outer.Bind("other", &b_, &Answer::Get);
        outer.Bind("other", &a_, &Answer::Get);
        try {
            State::ScopedBinding inner(lua_);
            inner.Bind("get", &c_, &Answer::Get);
            inner.Bind("other", &c_, &Answer::Get);
            EXPECT_EQ(Eval("get() + other()"), "6");
            throw std::runtime_error("the inner script failed");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(Eval("get() + other()"), "3");
    }
    EXPECT_EQ(Eval("get()"), "1");
    EXPECT_EQ(Eval("other"), "nil");
    EXPECT_EQ(lua_.Published("other"), nullptr);
}

} // namespace
