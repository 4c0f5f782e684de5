#include "Script/Exception.h"
#include "States/Transition.h"
#include "SwitchFixture.h"

#include <typeinfo>
#include <vector>

namespace {

class SwitchTest : public test::SwitchFixture {
protected:
    SwitchTest() { LoadStandard(); }

    void LoadStandard() {
        LoadPart(Noted("screen", "A") + Noted("screen", "B") + Noted("screen", "C") +
                 Noted("screen", "menu") +
                 Noted("transition", "t_A_C", R"(from="A" to="C" out="100" in="100")"));
        Seen();
    }
};

// Every kind of move, from a fresh map: the events each state gets and where the map ends.
TEST_F(SwitchTest, EventsOfEveryKindOfMove) {
    struct Case {
        const char* what;
        std::vector<std::string> before;
        std::string move;
        std::string seen;
        std::string current;
    } const cases[] = {
        {"first move", {}, "A", "A:start A:activate", "A"},
        {"ordinary to ordinary, default transition", {"A"}, "B", "A:deactivate", "t_A_B"},
        {"to the same state", {"A"}, "A", "A:deactivate", "t_A_A"},
        {"ordinary to ordinary, defined transition",
         {"A"},
         "C",
         "A:deactivate t_A_C:start t_A_C:activate",
         "t_A_C"},
        {"ordinary to a transition name",
         {"A"},
         "t_A_C",
         "A:deactivate t_A_C:start t_A_C:activate",
         "t_A_C"},
        // Left before its hand-over, the transition stops the state it was fading out and
        // the target is started.
        {"transition to ordinary",
         {"A", "C"},
         "B",
         "t_A_C:deactivate t_A_C:stop A:stop B:start B:activate",
         "B"},
        {"transition to a transition name",
         {"A", "C"},
         "t_A_C",
         "t_A_C:deactivate t_A_C:stop A:stop t_A_C:start t_A_C:activate",
         "t_A_C"},
        {"unknown name", {"A"}, "nowhere", "", "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        LoadStandard();
        for (const std::string& name : c.before) {
            map().SetState(name);
        }
        Seen();
        map().SetState(c.move);
        EXPECT_EQ(Seen(), c.seen);
        EXPECT_EQ(map().Current(), c.current);
    }
}

// A routed move makes its default transition once. The first move asks for the empty
// current name; an unknown name changes nothing, not even the exposure level.
TEST_F(SwitchTest, RoutedMoveMakesTheDefaultTransitionOnceAndUnknownNamesAreLogged) {
    NewLogLines();
    map().SetState("A");
    Advance(5000);
    map().SetState("nowhere");
    EXPECT_EQ(NewLogLines(), (std::vector<std::string>{"Trying to get undefined state ''",
                                                       "Trying to get undefined state 'nowhere'"}));
    EXPECT_EQ(game().HdrLevel(), 0.0f);
    map().SetState("B");
    EXPECT_TRUE(NewLogLines().empty());
    const auto made = map().GetState("t_A_B");
    ASSERT_NE(made, nullptr);
    const State::Base& base = *made;
    EXPECT_EQ(typeid(base), typeid(State::Transition));
    EXPECT_EQ(map().Previous(), "A");
    // Back in A and across again: the registry's transition is used.
    RunOut();
    map().SetState("A");
    RunOut();
    map().SetState("B");
    EXPECT_EQ(map().GetState("t_A_B"), made);
}

// A move asked for by a script of a running switch waits for the switch to end.
TEST_F(SwitchTest, MoveFromAnActivateScriptIsQueued) {
    Fresh();
    LoadPart(
        Noted("screen", "A") +
        Noted("screen", "B", "", Event("activate", "seen[#seen + 1] = 'B:activate'; move('C')")) +
        Noted("screen", "C"));
    Cross();
    Seen();
    for (int i = 0; i < 4 && map().Current() == "t_A_B"; ++i) {
        Frame(300);
    }
    // B was activated by the hand-over; its move then went from B through t_B_C.
    EXPECT_EQ(map().Current(), "t_B_C");
    EXPECT_EQ(Seen(), "A:stop B:start B:activate B:deactivate");
    for (int i = 0; i < 4; ++i) {
        Frame(300);
    }
    EXPECT_EQ(map().Current(), "C");
    EXPECT_EQ(Seen(), "B:stop C:start C:activate");
}

TEST_F(SwitchTest, PingPongMovesAreBounded) {
    Fresh();
    LoadPart(Noted("screen", "A") + Noted("screen", "B") +
             Noted("transition", "t_A_B", R"(from="A" to="B")",
                   Event("activate", "seen[#seen + 1] = 't_A_B:activate'; move('t_B_A')")) +
             Noted("transition", "t_B_A", R"(from="B" to="A")",
                   Event("activate", "seen[#seen + 1] = 't_B_A:activate'; move('t_A_B')")));
    Cross();
    const std::vector<std::string> lines = NewLogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Too many moves inside one switch, move to 't_B_A' dropped");
    // The routed move and 64 queued ones, five events each but the first.
    EXPECT_EQ(map().Current(), "t_A_B");
    EXPECT_EQ(Eval("#seen"), std::to_string(2 + 3 + 64 * 5));
}

// The menu asked for while a transition runs, or by its "start" script (the move waits for
// the switch), leaves the transition directly and remembers its target.
TEST_F(SwitchTest, MenuDuringATransitionRemembersItsTarget) {
    Cross();
    Frame(100);
    Seen();
    game().lua_.Execute("game_menu()");
    EXPECT_EQ(map().Last(), "B");
    EXPECT_EQ(map().Current(), "menu");
    EXPECT_EQ(Seen(), "A:stop menu:start menu:activate");

    Fresh();
    LoadPart(Noted("screen", "A") + Noted("screen", "B") + Noted("screen", "menu") +
             Noted("transition", "t_A_B", R"(from="A" to="B")", Event("start", "game_menu()")));
    Cross();
    EXPECT_EQ(map().Last(), "B");
    EXPECT_EQ(map().Current(), "menu");
    EXPECT_EQ(Eval("game_started()"), "true");
}

// A script error ends the switch part way; the moves its scripts asked for are dropped and
// the next move is an ordinary one.
TEST_F(SwitchTest, ScriptErrorEndsTheSwitch) {
    Fresh();
    LoadPart(Noted("screen", "A") +
             Noted("screen", "B", "", Event("activate", "move('A') error('broken')")));
    EXPECT_THROW(map().SetState("B"), lua::exception);
    EXPECT_EQ(Seen(), "B:start");
    EXPECT_EQ(map().Current(), "");
    map().SetState("A");
    EXPECT_EQ(Seen(), "A:start A:activate");
    EXPECT_EQ(map().Current(), "A");
}

TEST_F(SwitchTest, MenuReturnAndEnd) {
    map().SetState("A");
    game().SetClockRunning(true);
    map().Menu();
    EXPECT_EQ(map().Last(), "A");
    EXPECT_EQ(map().Current(), "t_A_menu");
    RunOut();
    EXPECT_EQ(map().Current(), "menu");
    const float stopped = game().GameTime();
    map().Return();
    EXPECT_EQ(map().Current(), "t_menu_A");
    Advance(1000);
    game().UpdateClock();
    EXPECT_EQ(game().GameTime(), stopped + 1000.0f);
    RunOut();
    EXPECT_EQ(map().Current(), "A");

    map().End("B");
    EXPECT_TRUE(map().Last().empty());
    EXPECT_FALSE(map().IsStarted());
    EXPECT_EQ(map().Current(), "t_A_B");
    const float ended = game().GameTime();
    Advance(500);
    game().UpdateClock();
    EXPECT_EQ(game().GameTime(), ended);
}

TEST_F(SwitchTest, DumpTransitionWritesAReadyElement) {
    Cross();
    RunOut();
    ASSERT_EQ(map().Current(), "B");
    NewLogLines();
    map().DumpTransition({1.5f, -0.25f});
    EXPECT_EQ(NewLogLines(), std::vector<std::string>{
                                 R"(<transition name="t_A_B" from="A" to="B" pos="1.5,-0.25" />)"});
}

TEST_F(SwitchTest, ResetRestartsEveryStateWithoutMoving) {
    Fresh();
    LoadPart(Noted("screen", "A", "", Event("reset", "seen[#seen + 1] = 'A:reset'")) +
             Noted("screen", "B", "", Event("reset", "seen[#seen + 1] = 'B:reset'")));
    map().SetState("A");
    Seen();
    map().Reset();
    EXPECT_EQ(Seen(), "A:reset B:reset");
    EXPECT_EQ(map().Current(), "A");
}

} // namespace
