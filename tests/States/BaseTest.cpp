#include "Probe.h"
#include "Script/Exception.h"
#include "support/GameFixture.h"

#include <memory>

namespace {

using Calls = std::vector<std::string>;

class BaseTest : public test::GameFixture {
protected:
    BaseTest() { game().lua_.Execute("seen = {}"); }

    // A probe state loaded from a `screen` element holding `content`.
    std::shared_ptr<test::Probe> Make(const std::string& name, const std::string& content = "") {
        auto state = std::make_shared<test::Probe>();
        const auto doc = XmlDom::LoadString("<korvantine><screen name=\"" + name + "\">" + content +
                                            "</screen></korvantine>");
        state->LoadCommon(XmlDom::Child(XmlDom::Root(doc), "screen"), "p1");
        state->TakeCalls();
        return state;
    }

    // An event whose script notes the event and the answer of is_active in `seen`.
    static std::string Noting(const std::string& event) {
        return "<event name=\"" + event + "\">seen[#seen + 1] = '" + event +
               "=' .. tostring(is_active())</event>";
    }

    std::string Seen() { return Eval("table.concat(seen, ' ')"); }
};

// The "init" event runs at the load; of two events of one name the later one runs.
TEST_F(BaseTest, LoadCommonRunsLoadThenInitAndLaterEventsWin) {
    auto state = Make("hall", "<event name=\"init\">seen[#seen + 1] = 'init'</event>"
                              "<event name=\"start\">seen[#seen + 1] = 'first'</event>"
                              "<event name=\"start\">seen[#seen + 1] = 'second'</event>");
    EXPECT_EQ(Seen(), "init");
    state->FireEvent("start");
    EXPECT_EQ(Seen(), "init second");
}

TEST_F(BaseTest, SwitchStepsRunInOrderAndPrepareOnce) {
    auto state =
        Make("hall", Noting("start") + Noting("activate") + Noting("deactivate") + Noting("stop"));
    state->FireStart();
    state->FireActivate();
    state->FireDeactivate();
    state->FireStop();
    EXPECT_EQ(state->TakeCalls(), (Calls{"Prepare", "Start", "Activate", "Deactivate", "Stop"}));
    EXPECT_EQ(Seen(), "start=false activate=true deactivate=false stop=false");

    state->activates_ = false;
    state->FireStart();
    state->FireActivate();
    EXPECT_EQ(state->TakeCalls(), (Calls{"Start", "Activate"}));
    EXPECT_FALSE(state->IsActive());
}

TEST_F(BaseTest, RestartRunsInitAndResetOnANeverShownState) {
    auto state = Make("hall", Noting("init") + Noting("reset"));
    game().lua_.Execute("seen = {}");
    state->Restart();
    EXPECT_EQ(state->TakeCalls(), Calls{"Reset"});
    EXPECT_EQ(Seen(), "init=false reset=false");
}

TEST_F(BaseTest, TimerFiresPerFullHundredMilliseconds) {
    auto state = Make("hall", "<event name=\"timer\">timers = (timers or 0) + 1</event>");
    struct {
        std::uint64_t advance;
        int timers; // total so far
    } const steps[] = {{350, 3}, {49, 3}, {1, 3}, {1, 4}, {1000, 14}};
    state->FireStart();
    for (const auto& step : steps) {
        Advance(step.advance);
        state->Tick();
        EXPECT_EQ(Eval("timers or 0"), std::to_string(step.timers)) << "after " << step.advance;
    }
    EXPECT_EQ(state->TakeCalls(),
              (Calls{"Prepare", "Start", "Render", "Render", "Render", "Render", "Render"}));

    // A new start restarts the state's clock: no catch-up for the time it was away.
    Advance(5000);
    state->FireStart();
    Advance(50);
    state->Tick();
    EXPECT_EQ(Eval("timers"), "14");
}

// Moves from one state to another the way the state switch does, inside a running script.
struct Mover {
    test::Probe* from;
    test::Probe* to;
    void Move() {
        from->FireDeactivate();
        from->FireStop();
        to->FireStart();
        to->FireActivate();
    }
};

// is_active is bound only while the state's script runs: a nested script of another state
// gives the outer one its binding back, and a failing script leaves nothing bound.
TEST_F(BaseTest, IsActiveIsBoundOnlyWhileTheStatesScriptRuns) {
    auto a = Make("A", "<event name=\"timer\">move(); vars_x = is_active()</event>" +
                           Noting("deactivate") + Noting("stop") +
                           "<event name=\"fail\">is_active(); error('broken')</event>");
    auto b = Make("B", Noting("start") + Noting("activate"));
    Mover mover{a.get(), b.get()};
    game().lua_.Register("move", &mover, &Mover::Move);
    EXPECT_EQ(Eval("is_active"), "nil");
    a->FireStart();
    a->FireActivate();
    Advance(101);
    EXPECT_NO_THROW(a->Tick());
    EXPECT_EQ(Eval("vars_x"), "false");
    EXPECT_EQ(Seen(), "deactivate=false stop=false start=false activate=true");
    EXPECT_EQ(Eval("is_active"), "nil");
    EXPECT_THROW(a->FireEvent("fail"), lua::exception);
    EXPECT_EQ(Eval("is_active"), "nil");
}

TEST_F(BaseTest, HaltedInputIsLostButTheDebugKeysWork) {
    auto state = Make("hall");
    const State::InputRecord mouse[] = {{0, 5}, {State::kMouseButton0, State::kPressedBit}};
    const State::InputRecord keys[] = {{0x29, State::kPressedBit}, {0x29, 0}};

    State::Base::HandleInput(*state, mouse, 2, false);
    EXPECT_EQ(state->TakeCalls(), Calls{"Mouse 2"});

    opts().debug_ = true;
    game().Halt(100);
    State::Base::HandleInput(*state, mouse, 2, false);
    State::Base::HandleInput(*state, keys, 2, true);
    EXPECT_EQ(state->TakeCalls(), Calls{});
    EXPECT_TRUE(opts().console_);
    EXPECT_TRUE(opts().info_);
    EXPECT_TRUE(opts().area_);

    // At the deadline itself input passes again.
    Advance(100);
    State::Base::HandleInput(*state, keys, 2, true);
    EXPECT_EQ(state->TakeCalls(), Calls{"Keys 2"});
    EXPECT_FALSE(opts().console_);

    // Without the debug setting the keys are the state's alone.
    opts().debug_ = false;
    State::Base::HandleInput(*state, keys, 2, true);
    EXPECT_FALSE(opts().console_);
}

TEST_F(BaseTest, ReleaseDroppedDuringAHaltCancelsThePress) {
    auto state = Make("hall");
    const State::InputRecord release0[] = {{0, 3}, {State::kMouseButton0, 0}};
    const State::InputRecord release1[] = {{State::kMouseButton1, 0}};
    const State::InputRecord keyRelease[] = {{State::kMouseButton0, 0}};
    game().Halt(500);
    struct {
        const State::InputRecord* records;
        int count;
        bool keyboard;
        bool leftHanded;
        bool cancels;
    } const cases[] = {
        {release0, 2, false, false, true},   {release1, 1, false, false, false},
        {release1, 1, false, true, true},    {release0, 2, false, true, false},
        {keyRelease, 1, true, false, false}, {release0, 1, false, false, false},
    };
    for (const auto& c : cases) {
        opts().mouseLeftHanded_ = c.leftHanded;
        State::Base::HandleInput(*state, c.records, c.count, c.keyboard);
        EXPECT_EQ(state->TakeCalls(), c.cancels ? Calls{"CancelPress"} : Calls{});
    }
}

} // namespace
