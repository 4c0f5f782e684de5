#include "SwitchFixture.h"

#include <vector>

namespace {

class ApiTest : public test::SwitchFixture {
protected:
    ApiTest() { LoadPart(Noted("screen", "A") + Noted("screen", "B") + Noted("screen", "menu")); }

    // Dumps `vars`, forgets it, and runs the dump.
    void RoundTrip() {
        game().lua_.Execute("vardump(); saved = vars_d; vars = nil");
        game().lua_.Execute(Eval("saved"));
    }
};

// Every global of the game's operations is published (and only those); a sample reaches its
// operation with its arguments bound in order.
TEST_F(ApiTest, GlobalsCallTheirOperations) {
    for (const char* name :
         {"time",           "rand",           "dice",        "trace",      "halt",
          "mask",           "control",        "speed",       "context",    "move",
          "game_started",   "game_menu",      "game_return", "game_end",   "game_progress",
          "game_save_part", "game_save_time", "game_time",   "game_reset", "game_exit",
          "play",           "fade",           "game_save",   "game_load",  "game_save_refresh",
          "inv_put",        "inv_del",        "inv_has",     "lib_put",    "lib_next",
          "lib_prev",       "library",        "lib_page"}) {
        EXPECT_EQ(Eval(std::string("type(") + name + ")"), "function") << name;
    }
    Advance(1234);
    EXPECT_EQ(Eval("time()"), "1234");
    EXPECT_EQ(Eval("dice(4, 4)"), "4");
    EXPECT_EQ(Eval("math.type == nil and dice(7, 7) % 1"), "0");
    NewLogLines();
    game().lua_.Execute("trace('hello ' .. 12) halt(250) mask(2)");
    EXPECT_EQ(NewLogLines(), std::vector<std::string>{"hello 12"});
    // A sound of no known format is no sound: "play" creates nothing and plays nothing.
    game().lua_.Execute("play('x.mp3')");
    EXPECT_EQ(NewLogLines(),
              std::vector<std::string>{"Warning : preloading not enabled for x.mp3"});
    EXPECT_EQ(game().sound_.Find("x.mp3"), nullptr);
    game().lua_.Execute("move('A')");
    EXPECT_EQ(game().haltUntil_, 1234.0f + 250.0f);
    EXPECT_TRUE(game().mask_);
    EXPECT_EQ(map().Current(), "A");
    EXPECT_EQ(Eval("game_save_part(7)"), "empty");

    game().lua_.Execute("vars.x = 1 game_reset()");
    EXPECT_EQ(Eval("next(vars)"), "nil");
    Advance(100);
    game().UpdateClock();
    EXPECT_EQ(game().GameTime(), 100.0f);
    game().lua_.Execute("game_exit()");
    EXPECT_EQ(quitCodes_, std::vector<int>{0});
}

TEST_F(ApiTest, VarDumpOfOrdinaryData) {
    struct {
        const char* vars;
        const char* dump;
    } const cases[] = {
        {"{}", "vars = {  }"},
        {"{ a = 1 }", "vars = { a = 1 }"},
        {"{ [1] = true }", "vars = { [1] = true }"},
        {"{ n = 2.5 }", "vars = { n = 2.5 }"},
        {"{ s = 'a' }", R"(vars = { s = "a" })"},
        {"{ t = { u = { false } } }", "vars = { t = { u = { [1] = false } } }"},
        {"{ f = print }", "vars = { f = nil }"},
    };
    for (const auto& c : cases) {
        game().lua_.Execute(std::string("vars = ") + c.vars + " vardump()");
        EXPECT_EQ(Eval("vars_d"), c.dump) << c.vars;
    }
}

// Text that does not survive plain quoting, keys that are not names and numbers that
// tostring rounds all load back equal; keys of other types are left out, and a cycle is
// written as nil. A dump of the scripts' own is used instead.
TEST_F(ApiTest, VarDumpLoadsBackEqual) {
    game().lua_.Execute(R"(vars = { s = 'a"b\\c\nd\r\t\0e\1\127\200', ["two words"] = 1,
        ["end"] = 2, [true] = 3, [vars] = 4, x = 1/0, y = -1/0, z = 0/0, third = 1/3,
        big = 2^60 + 1, [0.1] = 'k', nested = { 1, 2, { inner = 'q' } }, a = { b = 1 } }
        vars.a.up = vars vars.again = vars.a)");
    RoundTrip();
    const char* const checks[] = {
        R"(vars.s == 'a"b\\c\nd\r\t\0e\1\127\200')",
        "vars['two words'] == 1",
        "vars['end'] == 2",
        "vars[true] == nil",
        "vars.x == 1/0 and vars.y == -1/0 and vars.z ~= vars.z",
        "vars.third == 1/3",
        "vars.big == 2^60 + 1",
        "vars[0.1] == 'k'",
        "vars.nested[3].inner == 'q' and #vars.nested == 3",
        "vars.a.up == nil and vars.again.b == 1",
    };
    for (const char* check : checks) {
        EXPECT_EQ(Eval(check), "true") << check;
    }
    // No raw control character is left for the save game's text.
    game().lua_.Execute("vardump()");
    EXPECT_EQ(Eval("string.find(vars_d, '[%c]') == nil"), "true");
    // A script may replace the dump with its own.
    game().lua_.Execute("function vardump() vars_d = 'vars = { mine = true }' end");
    RoundTrip();
    EXPECT_EQ(Eval("vars.mine"), "true");
}

} // namespace
