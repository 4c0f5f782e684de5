#include "States/Controls/Fader.h"

#include "../ControlProbe.h"
#include "Game/Exception.h"
#include "States/Screen.h"
#include "States/ScreenServices.h"
#include "support/GameFixture.h"

#include <boost/lexical_cast.hpp>
#include <limits>

namespace {

using State::Control::Base;
using State::Control::Fader;

std::shared_ptr<Fader> MakeFader(const std::string& attributes) {
    auto fader = std::make_shared<Fader>();
    Base::LoadCommon(*fader, test::ElementOf("<fader " + attributes + "/>", "fader"));
    return fader;
}

// The knob's place from set_pos, read back as fractions: "posy" across from the left, "pos"
// down from the top bound; a travel without length on an axis reads 0 there; fractions near
// an end snap to it; values out of range or not numbers are kept in the travel.
TEST(FaderTest, PositionsAndFractions) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const char* vertical = R"(x="0.4" top="0.6" bottom="0.3")";
    const char* both = R"(x="0.2" right="0.6" top="0.9" bottom="0.1")";
    const struct {
        const char* travel;
        float fx, fy;
        float x, y, posx, posy;
    } cases[] = {
        {vertical, 0.5f, 0.5f, 0.4f, 0.45f, 0.0f, 0.5f},
        {vertical, 0.0f, 0.25f, 0.4f, 0.375f, 0.0f, 0.75f},
        {vertical, 1.0f, 0.03f, 0.4f, 0.309f, 0.0f, 1.0f},
        {both, 0.97f, 0.96f, 0.588f, 0.868f, 1.0f, 0.0f},
        {both, 0.25f, 0.5f, 0.3f, 0.5f, 0.25f, 0.5f},
        {both, -3.0f, 7.0f, 0.2f, 0.9f, 0.0f, 0.0f},
        {both, inf, -inf, 0.6f, 0.1f, 1.0f, 1.0f},
        {both, nan, nan, 0.2f, 0.1f, 0.0f, 1.0f},
    };
    for (const auto& c : cases) {
        const auto fader = MakeFader(std::string("tex=\"k.png\" ") + c.travel);
        fader->SetPos(c.fx, c.fy);
        EXPECT_NEAR(fader->position_.x, c.x, 1e-6) << c.travel << " " << c.fx;
        EXPECT_NEAR(fader->position_.y, c.y, 1e-6) << c.travel << " " << c.fy;
        EXPECT_NEAR(fader->PosX(), c.posx, 1e-6) << c.travel << " " << c.fx;
        EXPECT_NEAR(fader->PosY(), c.posy, 1e-6) << c.travel << " " << c.fy;
    }
}

// Missing ends default to the other end and the knob starts at the left end and the top
// bound; numbers that are no finite numbers and missing attributes fail the load.
TEST(FaderTest, LoadsItsTravel) {
    const auto fader = MakeFader(R"(tex="k.png" x="0.4" top="0.6" bottom="-2")");
    EXPECT_EQ(fader->travel_, (cg::rect{0.4f, 0.6f, 0.4f, 0.6f}));
    EXPECT_EQ(fader->position_, (cg::point<float, 2>{0.4f, 0.6f}));
    for (const char* bad :
         {R"(x="nan" top="0")", R"(x="0" top="0" right="-inf")", R"(x="0" top="0" bottom="low")"}) {
        EXPECT_THROW(MakeFader(std::string("tex=\"k.png\" ") + bad), boost::bad_lexical_cast);
    }
    EXPECT_THROW(MakeFader(R"(tex="k.png" top="0")"), exception);
    EXPECT_THROW(MakeFader(R"(x="0" top="0")"), exception);
}

// A screen with a vertical slider whose scripts note its events, driven by scripted input.
class FaderDragTest : public test::GameFixture {
protected:
    FaderDragTest() {
        game().cursor_.Load(test::ElementOf(R"(<cursor tex="c.png"><context index="0" name=""/>)"
                                            R"(<context index="1" name="do"/></cursor>)",
                                            "cursor"));
        game().lua_.Execute("seen = {}");
        std::string xml = R"(<screen name="A" src="a.png"><fader x="0.4" top="0.6" bottom="0.3")"
                          R"( tex="k.png">)";
        for (const std::string event : {"acquire", "update", "release"}) {
            xml += "<event name=\"" + event + "\">seen[#seen + 1] = '" + event + "'</event>";
        }
        a_->LoadCommon(test::ElementOf(xml + "</fader></screen>", "screen"), "p");
        a_->FireStart();
        vol_ = a_->Faders().at("fader0");
        vol_->half_ = {0.03125f, 0.0208333f};
    }

    void Point(float x, float y) {
        State::ScreenServices::SetPointer(x, y);
        a_->Render();
    }
    void Button(bool down) {
        const State::InputRecord record{State::kMouseButton0, down ? State::kPressedBit : 0u};
        a_->Input(&record, 1, false);
    }
    std::string Seen() {
        const std::string seen = Eval("table.concat(seen, ' ')");
        game().lua_.Execute("seen = {}");
        return seen;
    }

    std::shared_ptr<State::Screen> a_ = std::make_shared<State::Screen>();
    std::shared_ptr<Fader> vol_;
};

TEST_F(FaderDragTest, DragFiresAcquireUpdateRelease) {
    // Exactly on the centre: no move, so no "update".
    Point(0.4f, 0.6f);
    EXPECT_EQ(State::ScreenServices::PointerContext(), "do");
    Button(true);
    Button(false);
    EXPECT_EQ(Seen(), "acquire release");

    // Off the centre: the knob jumps at the press; it follows the mouse, held at the travel's
    // end, even off the knob; pointing still fires nothing more.
    Point(0.42f, 0.59f);
    Button(true);
    EXPECT_EQ(Seen(), "acquire update");
    EXPECT_EQ(vol_->position_, (cg::point<float, 2>{0.4f, 0.59f}));
    Point(0.9f, 0.45f);
    Point(0.9f, 0.1f);
    Point(0.9f, 0.1f);
    EXPECT_EQ(Seen(), "update update");
    EXPECT_EQ(vol_->position_, (cg::point<float, 2>{0.4f, 0.3f}));
    EXPECT_EQ(State::ScreenServices::PointerContext(), "do");
    Button(false);
    Point(0.9f, 0.5f);
    EXPECT_EQ(Seen(), "release");
    EXPECT_EQ(a_->ActiveFader(), nullptr);
    EXPECT_EQ(State::ScreenServices::PointerContext(), "");
}

// Leaving the screen mid-drag releases the slider once; on return it does not follow the
// mouse. A lost release drops the drag without events.
TEST_F(FaderDragTest, NoDragSurvivesLeavingTheScreen) {
    for (const bool lost : {false, true}) {
        vol_->SetPos(0.0f, 0.5f);
        Point(0.4f, 0.45f);
        Button(true);
        lost ? a_->CancelPress() : a_->FireStop();
        a_->FireStop();
        a_->FireStart();
        Point(0.4f, 0.35f);
        Button(false);
        EXPECT_EQ(Seen(), lost ? "acquire" : "acquire release");
        EXPECT_FALSE(vol_->Dragging());
        EXPECT_NEAR(vol_->position_.y, 0.45f, 1e-6);
    }
}

} // namespace
