#include "ControlProbe.h"
#include "Game/Exception.h"
#include "Script/Exception.h"
#include "States/Controls/ControlMap.h"
#include "support/GameFixture.h"

#include <memory>

namespace {

using Lines = std::vector<std::string>;
using State::Control::Base;

// Fires one event of another control from inside a script: what `move` does when it runs
// the scripts of the states and controls it switches.
struct Inner {
    void Fire() { Base::FireEvent(*control, "activate"); }
    Base* control = nullptr;
};

class ControlBaseTest : public test::GameFixture {
protected:
    ControlBaseTest() { game().lua_.Register("note", &journal_, &test::Journal::Note); }

    // A probe read from a `zone` element holding `content`, its journal emptied.
    std::shared_ptr<test::ControlProbe> Make(const std::string& tag, const std::string& content,
                                             const std::string& attributes = "") {
        auto control = std::make_shared<test::ControlProbe>(&journal_, tag);
        Base::LoadCommon(
            *control, test::ElementOf("<zone " + attributes + ">" + content + "</zone>", "zone"));
        journal_.Take();
        return control;
    }

    // An event script that notes the event and who is bound.
    static std::string Noting(const std::string& event) {
        return "<event name=\"" + event + "\">note('" + event + " ' .. who())</event>";
    }

    test::Journal journal_;
};

TEST_F(ControlBaseTest, LoadCommonReadsNameEventsAndClickThenLoadResetAndInit) {
    test::ControlProbe control(&journal_, "a");
    Base::LoadCommon(control,
                     test::ElementOf(R"(<zone name="door" context="walk">)" + Noting("init") +
                                         R"(<event name="render">note('first')</event>)"
                                         R"(<event name="render">note('second')</event>)"
                                         R"(</zone>)",
                                     "zone"));
    EXPECT_EQ(journal_.Take(), (Lines{"Load", "Reset", "Bind a", "init a", "Unbind a"}));
    EXPECT_EQ(control.name_, "door");
    EXPECT_TRUE(control.clickable_);
    // The later event of one name is the one that runs.
    Base::FireEvent(control, "render");
    EXPECT_EQ(journal_.Take(), (Lines{"Bind a", "second", "Unbind a"}));
}

TEST_F(ControlBaseTest, OnlyTheExactTextNoMakesAControlUnclickableAndEventsNeedNames) {
    const std::pair<const char*, bool> cases[] = {
        {"", true}, {R"(click="no")", false}, {R"(click="No")", true}, {R"(click="")", true}};
    for (const auto& [attribute, clickable] : cases) {
        EXPECT_EQ(Make("a", "", attribute)->clickable_, clickable) << attribute;
    }
    try {
        Make("a", "<event>x = 1</event>");
        FAIL() << "an event without a name loaded";
    } catch (const exception& e) {
        EXPECT_STREQ(e.what(), "Configuration error: \n  Attribute 'name' not found at event");
    }
}

TEST_F(ControlBaseTest, PassesRunTheControlAndItsEventInTheirOrder) {
    struct Case {
        void (*pass)(Base&);
        Lines expected;
    };
    const Case cases[] = {
        {Base::ResetPass, {"Bind a", "reset a", "Unbind a", "Reset"}},
        {Base::RenderPass, {"Bind a", "render a", "Unbind a", "Render"}},
        {Base::StopPass, {"Bind a", "stop a", "Unbind a", "Stop"}},
        {Base::StartPass, {"Start", "Bind a", "start a", "Unbind a"}},
        {Base::DeactivatePass, {"Bind a", "deactivate a", "Unbind a"}},
        {Base::ActivatePass, {"Bind a", "activate a", "Unbind a"}},
        {Base::OnEnter, {"Bind a", "enter a", "Unbind a"}},
        {Base::OnOver, {"Bind a", "over a", "Unbind a"}},
        {Base::OnLeave, {"Bind a", "leave a", "Unbind a"}},
    };
    const auto scripted =
        Make("a", Noting("reset") + Noting("render") + Noting("stop") + Noting("start") +
                      Noting("deactivate") + Noting("activate") + Noting("enter") + Noting("over") +
                      Noting("leave"));
    // Without scripts, or with empty ones, only the control's own operations run: nothing
    // is bound.
    const auto bare = Make("b", R"(<event name="render"></event><event name="reset"/>)");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        cases[i].pass(*scripted);
        EXPECT_EQ(journal_.Take(), cases[i].expected) << i;
        cases[i].pass(*bare);
        Lines own;
        for (const std::string& line : cases[i].expected) {
            if (line.find(' ') == std::string::npos) {
                own.push_back(line);
            }
        }
        EXPECT_EQ(journal_.Take(), own) << i;
    }
}

TEST_F(ControlBaseTest, NestedScriptsGiveTheOuterScriptItsFunctionsBack) {
    const auto outer = Make("a", R"(<event name="activate">note('before ' .. who()))"
                                 R"( fire_inner() note('after ' .. who()))"
                                 R"( local ok = pcall(fire_failing))"
                                 R"( note(tostring(ok) .. ' ' .. who())</event>)");
    const auto inner = Make("b", Noting("activate"));
    const auto failing = Make("c", R"(<event name="activate">note(who()) error('boom')</event>)");
    Inner fireInner{inner.get()};
    Inner fireFailing{failing.get()};
    game().lua_.Register("fire_inner", &fireInner, &Inner::Fire);
    game().lua_.Register("fire_failing", &fireFailing, &Inner::Fire);
    // Something bound `who` for longer, as a state binds its functions while it runs.
    test::ControlProbe state(nullptr, "state");
    game().lua_.Register("who", &state, &test::ControlProbe::Who);

    Base::ActivatePass(*outer);
    EXPECT_EQ(journal_.Take(),
              (Lines{"Bind a", "before a", "Bind b", "activate b", "Unbind b", "after a", "Bind c",
                     "c", "Unbind c", "false a", "Unbind a"}));
    EXPECT_EQ(Eval("who()"), "state");
}

TEST_F(ControlBaseTest, AFailingScriptLeavesNothingOfItsControlBound) {
    const auto control = Make("a", R"(<event name="stop">note(who()) error('boom')</event>)");
    EXPECT_THROW(Base::StopPass(*control), lua::exception);
    // The pass ends at the error: the control's Stop does not run.
    EXPECT_EQ(journal_.Take(), (Lines{"Bind a", "a", "Unbind a"}));
    EXPECT_EQ(Eval("who"), "nil");
}

TEST_F(ControlBaseTest, KeysAreTheNameOrTheTagAndPositionAndLaterKeysWin) {
    const auto screen = test::ElementOf(
        R"(<screen><zone context="1"/><image/><zone name="door" context="2"/>)"
        R"(<zone context="3"/><zone name="zone0" context="4"/><zone name="door" context="5"/>)"
        R"(</screen>)",
        "screen");
    State::Control::ControlMap<State::Control::FlatControl> controls;
    State::Control::CreateControls<test::ControlProbe>(screen, "zone", controls);
    State::Control::CreateControls<test::ControlProbe>(screen, "image", controls);
    Lines seen;
    for (const auto& [key, control] : controls) {
        seen.push_back(key + ":" + control->GetContext() + ":" + control->name_);
    }
    // zone0 is first the unnamed zone, then the one named so; the second "door" wins.
    EXPECT_EQ(seen, (Lines{"door:5:door", "image0::", "zone0:4:zone0", "zone2:3:"}));
}

} // namespace
