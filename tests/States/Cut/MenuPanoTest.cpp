#include "States/MenuPano.h"

#include "States/ScreenServices.h"
#include "support/GameFixture.h"

#include <cmath>
#include <numbers>

namespace {

using State::InputRecord;
namespace Services = State::ScreenServices;

constexpr float kPi = std::numbers::pi_v<float>;

// A menu panorama "M" with a zone ahead, started and driven frame by frame.
class MenuPanoTest : public test::GameFixture {
protected:
    MenuPanoTest() {
        opts().nomultithread_ = true;
        game().RegisterApi();
        const std::string xml =
            R"(<korvantine><map autoload="p" menu="M"><part name="p" start="M" load="none")"
            R"( effect="clean"><sounds/><textures/><menupano name="M" src="m.dds" fov="60">)"
            R"(<zone name="play" pos="-0.3,0.3,0.3,-0.3">clicks = (clicks or 0) + 1</zone>)"
            R"(</menupano></part></map></korvantine>)";
        game().map_.Load(XmlDom::Child(XmlDom::Root(XmlDom::LoadString(xml)), "map"));
        menu_ = std::dynamic_pointer_cast<State::MenuPano>(game().map_.GetState("M"));
        menu_->SetView(1.0f, 0.2f);
        menu_->FireStart();
    }

    void Play(std::uint64_t ms) {
        for (; ms > 0; ms -= std::min<std::uint64_t>(ms, 20)) {
            Advance(std::min<std::uint64_t>(ms, 20));
            menu_->Tick();
        }
    }

    float Heading() const { return menu_->View().heading; }

    std::shared_ptr<State::MenuPano> menu_;
};

// The camera starts from the view it has with a right-angle field of view, moves only by
// script, and the pointer moves freely and clicks instead of turning it.
TEST_F(MenuPanoTest, OnlyScriptsTurnTheCamera) {
    Play(20);
    EXPECT_NEAR(Heading(), 1.0f, 1e-6f);
    EXPECT_NEAR(menu_->View().pitch, 0.2f, 1e-6f);
    EXPECT_NEAR(menu_->Fov(), 0.5f * kPi, 1e-6f) << "not the definition's 60 degrees";
    EXPECT_FALSE(opts().swayAllowed_);
    game().lua_.Execute("set_pos(0, 0, 1) set_fov(60, 500)");
    Play(500);
    EXPECT_NEAR(menu_->Fov(), kPi / 3.0f, 1e-5f);

    const InputRecord drag[] = {{State::kMouseButton0, State::kPressedBit, 0, 0, 0},
                                {0, static_cast<std::uint32_t>(-200), 0, 0, 0},
                                {State::kMouseButton0, 0, 0, 0, 0}};
    Services::SetPointer(0.5f, 0.5f);
    Play(20);
    menu_->Input(drag, 3, false);
    Play(20);
    EXPECT_LT(Services::PointerX(), 0.5f) << "the pointer moved instead";
    EXPECT_EQ(Heading(), 0.0f);
    EXPECT_EQ(Eval("clicks"), "1") << "a press over a zone clicks it";
    Services::SetPointer(0.0f, 0.0f); // at the edge: no edge-follow
    menu_->SetView(2.0f, 0.5f);       // from outside: replaced at the next frame
    Play(3000);
    EXPECT_EQ(Heading(), 0.0f);
    EXPECT_EQ(menu_->View().pitch, 0.0f);

    menu_->FireStop();
    EXPECT_TRUE(opts().swayAllowed_);
    EXPECT_EQ(Eval("set_fov"), "nil");
}

// Moves longer than 100 ms turn the short way round; shorter ones unwind whole turns. A
// far or endless target ends the move at once instead of hanging the frame.
TEST_F(MenuPanoTest, SetPosTurnsTheShortWay) {
    const struct {
        int ms;
        float halfWay;
    } cases[] = {{2000, 0.5f * (6.2f - 2.0f * kPi + 0.1f)}, {50, 0.5f * (6.2f + 0.1f)}};
    for (const auto& c : cases) {
        game().lua_.Execute("set_pos(6.2, 0, 1)");
        Play(20);
        game().lua_.Execute("set_pos(0.1, 0, " + std::to_string(c.ms) + ")");
        Play(c.ms / 2);
        const float shown = Heading() > kPi ? Heading() - 2.0f * kPi : Heading();
        const float expected = c.halfWay > kPi ? c.halfWay - 2.0f * kPi : c.halfWay;
        EXPECT_NEAR(shown, expected, 1e-4f) << c.ms;
        Play(c.ms);
        EXPECT_NEAR(Heading(), 0.1f, 1e-5f) << c.ms;
    }
    for (const char* far : {"1e30", "math.huge", "-math.huge", "0/0"}) {
        game().lua_.Execute(std::string("set_pos(") + far + ", 0, 2000)");
        Play(2000);
        EXPECT_TRUE(std::isfinite(Heading())) << far;
    }
    // The camera glides on from where it stood when the menu is shown again.
    game().lua_.Execute("set_pos(2.5, 0, 1)");
    Play(20);
    menu_->FireStop();
    menu_->FireStart();
    Play(20);
    EXPECT_NEAR(Heading(), 2.5f, 1e-6f);
}

} // namespace
