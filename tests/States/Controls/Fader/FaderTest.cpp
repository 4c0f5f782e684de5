#include "States/Controls/Fader.h"

#include "../ControlProbe.h"
#include "Game/Exception.h"
#include "States/Screen.h"
#include "States/ScreenServices.h"
#include "support/GameFixture.h"

#include <boost/lexical_cast.hpp>
#include <cmath>
#include <limits>

namespace {

using State::Control::Base;
using State::Control::Fader;
namespace Services = State::ScreenServices;

std::shared_ptr<Fader> MakeFader(const std::string& attributes) {
    auto fader = std::make_shared<Fader>();
    Base::LoadCommon(*fader, test::ElementOf("<fader tex=\"k.png\" " + attributes + "/>", "fader"));
    return fader;
}

// The knob's place from set_pos, read back as fractions: "posy" across from the left, "pos"
// down from the top bound; a travel without length on an axis reads 0 there; fractions near
// an end snap to it; values out of range or not numbers are kept in the travel.
TEST(FaderTest, PositionsAndFractions) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* travel;
        float fx, fy;
        float x, y, posx, posy;
    } cases[] = {
        {R"(x="0.4" top="0.6" bottom="0.3")", 0.5f, 0.5f, 0.4f, 0.45f, 0.0f, 0.5f},
        {R"(x="0.4" top="0.6" bottom="0.3")", 0.0f, 0.25f, 0.4f, 0.375f, 0.0f, 0.75f},
        {R"(x="0.4" top="0.6" bottom="0.3")", 1.0f, 0.03f, 0.4f, 0.309f, 0.0f, 1.0f},
        {R"(x="0.2" right="0.6" top="0.5")", 0.97f, 0.5f, 0.588f, 0.5f, 1.0f, 0.0f},
        {R"(x="0.2" right="0.6" top="0.5")", 0.04f, 0.0f, 0.216f, 0.5f, 0.0f, 0.0f},
        {R"(x="0.2" right="0.6" top="0.5")", 0.25f, 0.0f, 0.3f, 0.5f, 0.25f, 0.0f},
        {R"(x="0.2" right="0.6" top="0.9" bottom="0.1")", -3.0f, 7.0f, 0.2f, 0.9f, 0.0f, 0.0f},
        {R"(x="0.2" right="0.6" top="0.9" bottom="0.1")", inf, -inf, 0.6f, 0.1f, 1.0f, 1.0f},
        {R"(x="0.2" right="0.6" top="0.9" bottom="0.1")", nan, nan, 0.2f, 0.1f, 0.0f, 1.0f},
        {R"(x="0.5" top="0.5")", 0.7f, 0.7f, 0.5f, 0.5f, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        const auto fader = MakeFader(c.travel);
        fader->SetPos(c.fx, c.fy);
        EXPECT_NEAR(fader->position_.x, c.x, 1e-6) << c.travel << " " << c.fx;
        EXPECT_NEAR(fader->position_.y, c.y, 1e-6) << c.travel << " " << c.fy;
        EXPECT_NEAR(fader->PosX(), c.posx, 1e-6) << c.travel << " " << c.fx;
        EXPECT_NEAR(fader->PosY(), c.posy, 1e-6) << c.travel << " " << c.fy;
    }
}

// Missing ends default to the other end; the knob starts at the left end and the top bound;
// numbers that are no finite numbers fail the load.
TEST(FaderTest, LoadsItsTravel) {
    const auto fader = MakeFader(R"(x="0.4" top="0.6" bottom="-2")");
    EXPECT_EQ(fader->travel_, (cg::rect{0.4f, 0.6f, 0.4f, 0.6f}));
    EXPECT_EQ(fader->position_, (cg::point<float, 2>{0.4f, 0.6f}));
    EXPECT_EQ(fader->GetContext(), "do");
    for (const char* bad :
         {R"(x="nan" top="0")", R"(x="0" top="inf")", R"(x="0" top="0" right="-inf")",
          R"(x="0" top="0" bottom="low")", R"(x="" top="0")"}) {
        EXPECT_THROW(MakeFader(bad), boost::bad_lexical_cast) << bad;
    }
    EXPECT_THROW(MakeFader(R"(top="0")"), exception);
    EXPECT_THROW(Base::LoadCommon(*std::make_shared<Fader>(),
                                  test::ElementOf(R"(<fader x="0" top="0"/>)", "fader")),
                 exception);
}

State::InputRecord Button(bool down) {
    return {State::kMouseButton0, down ? State::kPressedBit : 0u, 0, 0, 0};
}

// A screen with a vertical slider whose scripts note its events, driven by scripted input;
// Escape opens the menu.
class FaderDragTest : public test::GameFixture {
protected:
    FaderDragTest() {
        opts().nomultithread_ = true;
        game().RegisterApi();
        game().cursor_.Load(test::ElementOf(
            R"(<cursor tex="c.png"><context index="0" name=""/><context index="1" name="do"/>)"
            R"(<context index="2" name="back"/></cursor>)",
            "cursor"));
        game().lua_.Execute("seen = {}");
        std::string events;
        for (const std::string event : {"acquire", "update", "release"}) {
            events += "<event name=\"" + event + "\">seen[#seen + 1] = '" + event + "'</event>";
        }
        map_.Load(test::ElementOf(
            R"(<map autoload="p" menu="menu"><part name="p" start="A" load="none" effect="clean">)"
            R"(<sounds/><textures/><screen name="A" src="a.png">)"
            R"(<fader name="vol" x="0.4" top="0.6" bottom="0.3" tex="k.png">)" +
                events +
                R"(</fader></screen>)"
                R"(<screen name="B" src="b.png"/><menu name="menu" src="m.png"/>)"
                R"(</part></map>)",
            "map"));
        map_.SetState("A");
        a_ = std::dynamic_pointer_cast<State::Screen>(map_.CurrentState());
        vol_ = a_->Faders().at("vol");
        vol_->half_ = {0.03125f, 0.0208333f};
    }

    void Point(float x, float y) {
        Services::SetPointer(x, y);
        a_->Render();
    }
    void Send(std::vector<State::InputRecord> records, bool keyboard = false) {
        a_->Input(records.data(), int(records.size()), keyboard);
    }
    std::string Seen() {
        const std::string seen = Eval("table.concat(seen, ' ')");
        game().lua_.Execute("seen = {}");
        return seen;
    }

    Map& map_ = game().map_;
    std::shared_ptr<State::Screen> a_;
    std::shared_ptr<Fader> vol_;
};

TEST_F(FaderDragTest, DragFiresAcquireUpdateRelease) {
    // Exactly on the centre: no move, so no "update".
    Point(0.4f, 0.6f);
    EXPECT_EQ(a_->ActiveFader(), vol_.get());
    EXPECT_EQ(Services::PointerContext(), "do");
    Send({Button(true), Button(false)});
    EXPECT_EQ(Seen(), "acquire release");
    EXPECT_FALSE(vol_->Dragging());

    // Off the centre: the knob jumps at the press; it follows the mouse, held at the travel's
    // end, and still pointing fires nothing more.
    Point(0.42f, 0.59f);
    Send({Button(true)});
    EXPECT_EQ(Seen(), "acquire update");
    EXPECT_EQ(vol_->position_, (cg::point<float, 2>{0.4f, 0.59f}));
    Point(0.9f, 0.45f);
    Point(0.9f, 0.1f);
    Point(0.9f, 0.1f);
    EXPECT_EQ(Seen(), "update update");
    EXPECT_EQ(vol_->position_, (cg::point<float, 2>{0.4f, 0.3f}));
    EXPECT_EQ(a_->ActiveFader(), vol_.get()) << "the drag holds the slider off its knob";
    EXPECT_EQ(Services::PointerContext(), "do");
    Send({Button(false)});
    EXPECT_EQ(Seen(), "release");
    EXPECT_NEAR(vol_->PosY(), 1.0f, 1e-6);
    Point(0.9f, 0.5f);
    EXPECT_EQ(Seen(), "");
    EXPECT_EQ(a_->ActiveFader(), nullptr);
    EXPECT_EQ(Services::PointerContext(), "");
}

// Leaving the screen mid-drag releases the slider once, when the screen stops; on return it
// does not follow the mouse. A lost release drops the drag without events.
TEST_F(FaderDragTest, NoDragSurvivesLeavingTheScreen) {
    vol_->SetPos(0.0f, 0.5f);
    Point(0.4f, 0.45f);
    Send({Button(true)});
    EXPECT_EQ(Seen(), "acquire");
    Send({{0x01, 0, 0, 0, 0}}, true); // Escape: the menu
    EXPECT_EQ(map_.Current(), "t_A_menu");
    a_->FireStop(); // the transition's end
    EXPECT_EQ(Seen(), "release");
    EXPECT_FALSE(vol_->Dragging());
    a_->FireStop();
    a_->FireStart();
    EXPECT_EQ(Seen(), "") << "released once";
    Point(0.4f, 0.35f);
    Send({Button(false)});
    EXPECT_EQ(Seen(), "");
    EXPECT_NEAR(vol_->position_.y, 0.45f, 1e-6);

    Point(0.4f, 0.45f);
    Send({Button(true)});
    a_->CancelPress();
    Point(0.4f, 0.35f);
    EXPECT_EQ(Seen(), "acquire");
    EXPECT_FALSE(vol_->Dragging());
}

} // namespace
