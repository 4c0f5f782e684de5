#include "States/Transition.h"

#include "Game/Exception.h"
#include "States/Screen.h"
#include "SwitchFixture.h"
#include "support/ThrownText.h"

#include <cmath>
#include <functional>
#include <vector>

namespace {

// A screen that notes the views it is given and may take its time to start.
class Target : public State::Screen {
public:
    Target() { name_ = "B"; }
    void Start() override {
        if (slowStart_) {
            slowStart_();
        }
    }
    void SetView(float heading, float pitch) override { views_.push_back({heading, pitch}); }
    std::string GetEffect() override { return "target"; }

    std::function<void()> slowStart_;
    std::vector<std::pair<float, float>> views_;
};

class TransitionTest : public test::SwitchFixture {
protected:
    std::shared_ptr<State::Transition> Current() {
        return std::dynamic_pointer_cast<State::Transition>(map().CurrentState());
    }

    // A frame `ms` later; answers the exposure it left.
    float ExposureAfter(std::uint64_t ms) {
        Frame(ms);
        return game().exposure_;
    }
};

TEST_F(TransitionTest, FactorFollowsTheCurveAndStaysInRange) {
    using T = State::Transition;
    const float half = (std::sqrt(21.0f) - 1.0f) / 20.0f;
    struct {
        int phase;
        float t, d, factor;
    } const cases[] = {
        {T::kFadeOut, 0, 500, 0},   {T::kFadeOut, 250, 500, half}, {T::kFadeOut, 500, 500, 1},
        {T::kFadeIn, 0, 500, 1},    {T::kFadeIn, 250, 500, half},  {T::kFadeIn, 500, 500, 0},
        {T::kHold, 100, 500, 0},    {T::kFadeOut, 10, 0, 0},       {T::kFadeIn, 10, -5, 0},
        {T::kFadeIn, -300, 500, 1}, {T::kFadeOut, 900, 500, 1},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(T::Factor(c.phase, c.t, c.d), c.factor, 1e-5f)
            << "phase " << c.phase << " t " << c.t << " d " << c.d;
    }
}

// The default transition: 500 ms of fade-out through black, the target started when its
// fade-in begins, and the hand-over at the end of the fade-in.
TEST_F(TransitionTest, DefaultTimeline) {
    LoadPart(Noted("screen", "A") + Noted("screen", "B"));
    Cross();
    EXPECT_EQ(Seen(), "A:start A:activate A:deactivate");
    const float half = (std::sqrt(21.0f) - 1.0f) / 20.0f;
    EXPECT_NEAR(ExposureAfter(250), -half, 1e-5f);
    EXPECT_NEAR(ExposureAfter(249), -1.0f, 1e-2f);
    EXPECT_EQ(Seen(), "");
    EXPECT_NEAR(ExposureAfter(2), -1.0f, 1e-5f); // 501: A stopped, B started
    EXPECT_EQ(Seen(), "A:stop B:start");
    EXPECT_EQ(Current()->Index(), 1u);
    EXPECT_NEAR(ExposureAfter(250), -half, 1e-5f);
    EXPECT_EQ(map().Current(), "t_A_B");
    Frame(251); // 1002: the fade-in is over
    EXPECT_EQ(Seen(), "B:activate");
    EXPECT_EQ(map().Current(), "B");
    EXPECT_EQ(game().exposure_, 0.0f);
}

TEST_F(TransitionTest, FlashesInOrderThroughWhiteAndTheTargetsView) {
    opts().verbose_ = true;
    LoadPart(Noted("screen", "A") + Noted("screen", "B") +
             R"(<transition name="whatever" from="A" to="B" type="white" out="100" in="100" )"
             R"(pos="1.5,,0.5"><flash screen="gfx\f0.png" in="50" out="60" delay="70"/>)"
             R"(<flash screen="gfx\f1.png"/></transition>)");
    const auto target = std::make_shared<Target>();
    map().StoreState("B", target);
    EXPECT_NE(map().GetState("t_A_B_0"), nullptr);
    const auto flash = std::dynamic_pointer_cast<State::Screen>(map().GetState("t_A_B_1"));
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->Picture(), "gfx\\f1.png");

    Cross();
    NewLogLines();
    struct Step {
        std::uint64_t ms;
        std::size_t index;
        int phase;
        std::vector<std::string> log;
    } const steps[] = {
        {50, 0, State::Transition::kFadeOut, {}},
        {51, 1, State::Transition::kFadeIn, {"A -> stop", "t_A_B_0 -> start"}},       // 101
        {51, 1, State::Transition::kHold, {}},                                        // 152
        {71, 1, State::Transition::kFadeOut, {}},                                     // 223
        {61, 2, State::Transition::kFadeIn, {"t_A_B_0 -> stop", "t_A_B_1 -> start"}}, // 284
        {151, 2, State::Transition::kHold, {}},                                       // 435
        {201, 2, State::Transition::kFadeOut, {}},                                    // 636
        {151, 3, State::Transition::kFadeIn, {"t_A_B_1 -> stop", "B -> start"}},      // 787
    };
    for (const Step& step : steps) {
        Frame(step.ms);
        EXPECT_EQ(NewLogLines(), step.log) << step.ms;
        EXPECT_EQ(Current()->Index(), step.index) << step.ms;
        EXPECT_EQ(Current()->CurrentPhase(), step.phase) << step.ms;
        EXPECT_GE(game().exposure_, 0.0f);
    }
    // The target's view was set before its first frame; its look is on from now.
    EXPECT_EQ(target->views_, (std::vector<std::pair<float, float>>{{1.5f, 0.5f}}));
    EXPECT_EQ(map().CurrentEffect(), "target");
    EXPECT_NEAR(game().exposure_, 1.0f, 1e-5f);
    Frame(101);
    EXPECT_EQ(map().Current(), "B");
    EXPECT_EQ(NewLogLines(),
              (std::vector<std::string>{"t_A_B -> deactivate", "t_A_B -> stop", "B -> activate"}));
}

TEST_F(TransitionTest, NoMoveSkipsTheFlashes) {
    opts().nomove_ = true;
    LoadPart(Noted("screen", "A") + Noted("screen", "B") +
             R"(<transition name="t" from="A" to="B" out="100" in="100">)"
             R"(<flash screen="f.png"/><flash screen="g.png"/></transition>)");
    Cross();
    opts().verbose_ = true;
    NewLogLines();
    Frame(101);
    EXPECT_EQ(NewLogLines(), (std::vector<std::string>{"A -> stop", "B -> start"}));
    EXPECT_EQ(Current()->Index(), 3u);
    Frame(101);
    EXPECT_EQ(map().Current(), "B");
}

// The transition is left before its hand-over, by a "timer" script of the state being faded
// out or by the target's own "start" script: it stops what it started, the exposure is back
// to 0 and the new state starts properly.
TEST_F(TransitionTest, LeftBeforeTheHandOver) {
    const struct {
        const char* what;
        std::string a, b;
        std::uint64_t ms;
        const char* seen;
    } cases[] = {
        {"timer of the state faded out",
         Event("timer", "if not moved then moved = true; move('C') end"), "", 150,
         "A:stop C:start C:activate"},
        {"start of the target", "", Event("start", "seen[#seen + 1] = 'B:start'; move('C')"), 501,
         "A:stop B:start B:stop C:start C:activate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        LoadPart(Noted("screen", "A", "", c.a) + Noted("screen", "B", "", c.b) +
                 Noted("screen", "C"));
        Cross();
        Seen();
        Frame(c.ms);
        EXPECT_EQ(Seen(), c.seen);
        EXPECT_EQ(map().Current(), "C");
        EXPECT_EQ(game().exposure_, 0.0f);
        for (int i = 0; i < 5; ++i) {
            Frame(300);
        }
        EXPECT_EQ(Seen(), "");
        EXPECT_EQ(map().Current(), "C");
    }
}

TEST_F(TransitionTest, SlowTargetStartKeepsTheExposureInRange) {
    LoadPart(Noted("screen", "A"));
    auto target = std::make_shared<Target>();
    target->slowStart_ = [this] { Advance(300); };
    map().StoreState("B", target);
    Cross();
    for (int i = 0; i < 40 && map().Current() != "B"; ++i) {
        Frame(30);
        EXPECT_LE(std::fabs(game().exposure_), 1.0f) << i;
    }
    EXPECT_EQ(map().Current(), "B");
}

// A transition whose target names no state: it stays in its hold after the fade-in, says
// so once, and never runs past its last entry.
TEST_F(TransitionTest, UndefinedTargetHoldsAtTheLastEntry) {
    LoadPart(Noted("screen", "A") + R"(<transition name="t" from="A" to="X"/>)");
    map().SetState("A");
    NewLogLines();
    map().SetState("t_A_X");
    for (int i = 0; i < 10; ++i) {
        Frame(300);
    }
    const std::vector<std::string> lines = NewLogLines();
    const auto count = [&](const std::string& line) {
        return std::count(lines.begin(), lines.end(), line);
    };
    // Once when the transition starts, once by its move to the target.
    EXPECT_EQ(count("Trying to get undefined state 'X'"), 2);
    EXPECT_EQ(count("Transition 't_A_X' cannot hand over to 'X'"), 1);
    EXPECT_EQ(Current()->Index(), 1u);
    EXPECT_EQ(game().exposure_, 0.0f);
    EXPECT_EQ(map().Current(), "t_A_X");
}

// The states shown are looked up when the transition starts: a state redefined by a later
// part is the one shown.
TEST_F(TransitionTest, StatesResolvedAtStart) {
    LoadPart(Noted("screen", "A") + Noted("screen", "B") +
             R"(<transition name="t" from="A" to="B"/>)");
    const auto later = std::make_shared<Target>();
    map().StoreState("B", later);
    Cross();
    Seen();
    Frame(501);
    EXPECT_EQ(Current()->Entries().back().state_, later);
    EXPECT_EQ(map().CurrentEffect(), "target");
    Frame(501);
    EXPECT_EQ(map().CurrentState(), later);
    EXPECT_EQ(Seen(), "A:stop");
}

TEST_F(TransitionTest, DefinitionErrors) {
    struct {
        const char* element;
        const char* error;
    } const cases[] = {
        {R"(<transition name="t" to="B"/>)",
         "Configuration error: \n  Attribute 'from' not found at transition"},
        {R"(<transition name="t" from="A" to="B" out="5x"/>)", "Bad float format"},
        {R"(<transition name="t" from="A" to="B"><flash screen="f" delay=""/></transition>)",
         "Bad float format"},
        {R"(<transition name="t" from="A" to="B" pos="1"/>)", "Wrong position format"},
        {R"(<transition name="t" from="A" to="B" pos="1,2,3"/>)", "Wrong position format"},
        {R"(<transition name="t" from="A" to="B" pos="a,2"/>)", "Bad position format"},
        {R"(<transition name="t" from="A" to="B"><flash/></transition>)",
         "Configuration error: \n  Attribute 'screen' not found at flash"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(test::ThrownText([&] { LoadPart(c.element); }), c.error) << c.element;
    }
}

} // namespace
