#include "States/Pano.h"

#include "Controls/ControlProbe.h"
#include "Include/cg/Angles.h"
#include "States/ScreenServices.h"
#include "support/GameFixture.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace {

using State::InputRecord;
using State::Pano;
namespace Services = State::ScreenServices;

constexpr float kPi = std::numbers::pi_v<float>;

InputRecord Record(std::uint32_t offset, std::uint32_t data) {
    return {offset, data, 0, 0, 0};
}
const InputRecord kPress = Record(State::kMouseButton0, State::kPressedBit);
const InputRecord kRelease = Record(State::kMouseButton0, 0);

// A panorama "P" of one part, driven frame by frame: the door ahead (heading 0) moves to the
// screen "S", the lamp to the right (heading pi/2) counts its clicks, a small mark lies at
// heading 0.5, another above the door, and a sprite lies right of the screen's centre.
class PanoTest : public test::GameFixture {
protected:
    PanoTest() {
        opts().nomultithread_ = true;
        opts().noidle_ = true;
        game().RegisterApi();
        game().cursor_.Load(
            XmlDom::Child(XmlDom::Root(XmlDom::LoadString(
                              R"(<korvantine><cursor tex="c.png"><context index="0" name=""/>)"
                              R"(<context index="1" name="move"/><context index="2" name="do"/>)"
                              R"(<context index="3" name="look"/></cursor></korvantine>)")),
                          "cursor"));
        game().lua_.Execute("seen = {}");
        const std::string xml =
            R"(<korvantine><map autoload="p" menu="menu"><part name="p" start="P" load="none")"
            R"( effect="clean"><sounds/><textures/>)"
            R"(<pano name="P" src="p.dds" fov="80" hdr="0,1">)"
            R"(<zone name="door" pos="-0.3,0.3,0.3,-0.3">move('S') <event name="enter">)"
            R"(seen[#seen + 1] = 'enter' </event><event name="over">over = (over or 0) + 1 )"
            R"(</event><event name="leave">seen[#seen + 1] = 'leave' </event></zone>)"
            R"(<zone name="lamp" pos="1.2,0.3,1.9,-0.3" context="do">)"
            R"(vars.lamp = (vars.lamp or 0) + 1</zone>)"
            R"(<zone name="mark" pos="0.48,0.05,0.54,-0.05" context="look"/>)"
            R"(<zone name="up" pos="-0.05,0.42,0.05,0.37" context="look"/>)"
            R"(<sprite name="badge" tex="b.png" frames="1" width="40" height="40" x="700")"
            R"( y="364" start="a"><state name="a" frame="1" context="look"/></sprite></pano>)"
            R"(<screen name="S" src="s.png"/><menu name="menu" src="m.png"/>)"
            R"(</part></map></korvantine>)";
        map_.Load(XmlDom::Child(XmlDom::Root(XmlDom::LoadString(xml)), "map"));
        map_.SetState("P");
        pano_ = std::dynamic_pointer_cast<Pano>(map_.GetState("P"));
    }

    // One frame `ms` after the last one.
    void Frame(std::uint64_t ms = 20) {
        Advance(ms);
        pano_->Tick();
    }

    void Send(std::vector<InputRecord> records, bool keyboard = false) {
        pano_->Input(records.data(), static_cast<int>(records.size()), keyboard);
    }

    Map& map_ = game().map_;
    std::shared_ptr<Pano> pano_;
};

// A number that is not finite, or a sound without its direction, ends loading.
TEST_F(PanoTest, BadDefinitionsEndLoading) {
    for (const char* bad : {R"(fov="wide"/>)", R"(hdr="0,,1"/>)", R"(fov="nan"/>)",
                            R"(><sound src="a.wav" course="1"/></pano>)"}) {
        Pano pano;
        EXPECT_ANY_THROW(pano.Load(test::ElementOf(std::string("<pano src=\"p\" ") + bad, "pano")))
            << bad;
    }
}

// The pointer is turned into a direction through the camera; sprites come before zones, and
// the cursor shows the context of what is under the pointer (badge, door: "look", "move").
TEST_F(PanoTest, HitTestingThroughTheView) {
    const struct {
        float course, pitch, x, y;
        const char* hovered;
    } cases[] = {
        {6.08f, 0, 0.703f, 0.5f, "badge"},
        {6.08f, 0, 0.6f, 0.5f, "door"},
        {0.5f * kPi, 0, 0.5f, 0.5f, "lamp"},
        {kPi, 0, 0.5f, 0.5f, ""},
        {6.1f, 0.1f, 0.5f, 0.5f, "door"},
        // Half the half-width right of the centre: heading atan(0.5 * 4/3 * tan 40 deg);
        // half the half-height up: pitch atan(0.5 * tan 40 deg).
        {0, 0, 0.75f, 0.5f, "mark"},
        {0, 0, 0.7f, 0.45f, ""},
        {0, 0, 0.5f, 0.25f, "up"},
    };
    for (const auto& c : cases) {
        pano_->SetView(c.course, c.pitch);
        Services::SetPointer(c.x, c.y);
        Frame();
        EXPECT_EQ(pano_->Hovered() ? pano_->Hovered()->name_ : "", c.hovered) << c.course;
    }
    EXPECT_EQ(Services::PointerContext(), "look");
    pano_->SetView(kPi, 0);
    Frame();
    EXPECT_EQ(Services::PointerContext(), "");
}

// A field of view the projection cannot be built with (none, a sliver, half a turn and more,
// not a number) is kept as given, but the camera shows at most a half turn and at least a
// sliver, so a zone behind the player is never under the pointer, and one ahead is where the
// view shows it. Not a number shows no direction at all: nothing on the panorama is hovered.
TEST_F(PanoTest, DegenerateFieldsOfView) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float fov, course;
        const char* hovered; // at the centre
    } cases[] = {{0.0f, kPi, ""}, {1e-9f, kPi, ""},  {kPi, kPi, ""},     {4.0f, kPi, ""},
                 {nan, kPi, ""},  {0.0f, 0, "door"}, {1e-9f, 0, "door"}, {kPi, 0, "door"},
                 {nan, 0, ""},    {-1.0f, 0, "door"}};
    for (const auto& c : cases) {
        pano_->SetView(c.course, 0);
        pano_->SetFov(c.fov);
        for (const auto& [x, y] : {std::pair{0.5f, 0.5f}, {0.45f, 0.6f}, {0.2f, 0.3f}}) {
            Services::SetPointer(x, y);
            Frame();
            const std::string hovered = pano_->Hovered() ? pano_->Hovered()->name_ : "";
            EXPECT_NE(hovered, c.course == 0 ? "lamp" : "door") << c.fov << " " << x;
            if (x == 0.5f) {
                EXPECT_EQ(hovered, c.hovered) << c.fov << " " << c.course;
            }
        }
        EXPECT_TRUE(pano_->Fov() == c.fov || std::isnan(c.fov)) << "kept as given: " << c.fov;
    }
}

// A press starts mouse-look; the release clicks the control pressed if it is under the
// pointer again. "enter" and "leave" fire on changes, "over" every frame. Escape goes to the
// inventory's handling (today: the menu); Backspace writes a transition in debug mode only.
TEST_F(PanoTest, ClicksHoverAndKeys) {
    pano_->SetView(0.5f * kPi, 0);
    Frame();
    Send({kPress, Record(0, 1000)}); // 1 rad at sensitivity 0.5, away from the lamp
    Frame();
    EXPECT_FALSE(pano_->Hovered());
    Send({Record(0, std::uint32_t(-1000))});
    Frame();
    Send({kRelease});
    Send({kPress, Record(0, 1000)});
    Frame();
    Send({kRelease});
    EXPECT_FALSE(pano_->Looking());
    EXPECT_EQ(Eval("vars.lamp"), "1");

    Services::SetPointer(0.6f, 0.5f);
    pano_->SetView(0, 0);
    Frame();
    Frame();
    pano_->SetView(kPi, 0);
    Frame();
    EXPECT_EQ(Eval("table.concat(seen, ' ') .. over"), "enter leave2");

    const std::vector<InputRecord> escape = {Record(0x01, State::kPressedBit), Record(0x01, 0)};
    const std::vector<InputRecord> back = {Record(0x0E, 0)};
    NewLogLines();
    pano_->Input(back.data(), 1, true);
    opts().debug_ = true;
    pano_->Input(back.data(), 1, true);
    EXPECT_EQ(NewLogLines(), (std::vector<std::string>{
                                 R"(<transition name="t__P" from="" to="P" pos="3.14159,0" />)"}));
    pano_->Input(escape.data(), 2, true);
    EXPECT_EQ(map_.Current(), "t_P_menu");
}

// Mouse-look turns by the sensitivity's step, inverted or not, and keeps the view in range;
// without a press the motion moves the cursor.
TEST_F(PanoTest, MouseLook) {
    Services::SetPointer(0.5f, 0.5f);
    const struct {
        float sensitivity;
        bool invert;
        int dx, dy;
        float course, pitch; // after one frame
    } cases[] = {
        {0.5f, false, 100, 50, 0.1f, -0.05f},
        {1.0f, false, 20, 0, 0.1f, 0},
        {0.0f, true, 180, 90, 0.1f, 0.05f},
        {7.0f, false, 20, 0, 0.1f, 0},
        {-1.0f, false, -180, 0, float(cg::TwoPi) - 0.1f, 0},
        {0.5f, false, 0, -2000, 0, Pano::kPitchUp},
        {0.5f, false, 0, 2000, 0, Pano::kPitchDown},
    };
    for (const auto& c : cases) {
        opts().mouseSensitivity_ = c.sensitivity;
        opts().mouseInvert_ = c.invert;
        pano_->SetView(0, 0);
        Send({kPress, Record(0, std::uint32_t(c.dx)), Record(4, std::uint32_t(c.dy))});
        EXPECT_LE(std::abs(pano_->View().pitch), 0.863938f) << "the limit of mouse-look";
        Frame();
        Send({kRelease});
        EXPECT_NEAR(pano_->View().heading, c.course, 1e-5f) << c.sensitivity << " " << c.dx;
        EXPECT_NEAR(pano_->View().pitch, c.pitch, 1e-5f) << c.sensitivity << " " << c.dy;
    }
    Send({Record(0, 200)});
    EXPECT_NEAR(pano_->View().heading, 0, 1e-6f);
    EXPECT_GT(Services::PointerX(), 0.5f);
}

// The pointer at an edge turns the view with a soft start and stop, held during mouse-look.
// Once idle for longer than the delay, and only while idling is allowed, the view sways by
// the increments of a cosine.
TEST_F(PanoTest, EdgeFollowAndIdleSway) {
    Services::SetPointer(1.0f, 0.5f);
    float course = 0;
    for (int i = 1; i <= 12; ++i) {
        Frame(100);
        const float speed = std::min(0.1f * float(i), 1.0f);
        EXPECT_NEAR(pano_->Follow().x, speed, 1e-5f) << i;
        course += speed * 0.1f;
        EXPECT_NEAR(pano_->View().heading, course, 1e-4f) << i;
    }
    Send({kPress});
    Frame(100);
    EXPECT_NEAR(pano_->View().heading, course, 1e-4f) << "no edge-follow during mouse-look";
    Send({kRelease});
    Services::SetPointer(0.5f, 0.0f);
    Frame(300);
    EXPECT_NEAR(pano_->Follow().x, 0.7f, 1e-5f);
    EXPECT_NEAR(pano_->Follow().y, -0.3f, 1e-5f);

    game().idle_ = {1.0f, 2.0f, 0.1f, 0.05f, 1000.0f};
    Services::SetPointer(0.5f, 0.5f);
    for (int i = 0; i < 10; ++i) {
        Frame(300); // the follow speeds come to rest
    }
    opts().noidle_ = false;
    Send({Record(0, 0)});
    cg::cp<float> view = pano_->View();
    Frame(1000);
    Frame(1000);
    EXPECT_EQ(pano_->View(), view) << "not idle for longer than the delay yet";
    Frame(500); // idle from 1 s to 1.5 s past the delay
    EXPECT_NEAR(pano_->View().heading - view.heading, (std::cos(1.5f) - std::cos(1.0f)) * 0.1f,
                1e-5f);
    EXPECT_NEAR(pano_->View().pitch - view.pitch, -(std::cos(3.0f) - std::cos(2.0f)) * 0.05f,
                1e-5f);
    for (const bool noidle : {true, false}) {
        opts().noidle_ = noidle;
        opts().swayAllowed_ = noidle;
        view = pano_->View();
        Frame(500);
        EXPECT_EQ(pano_->View(), view);
    }
}

// The exposure follows the heading through the levels of "hdr", with no jump at a sector's
// start; the Lua functions exist only while the panorama runs.
TEST_F(PanoTest, ExposureAndDistances) {
    const struct {
        float course, level;
    } cases[] = {{0, 0},
                 {0.5f * kPi, 0.5f},
                 {kPi, 1},
                 {1.5f * kPi, 0.5f},
                 {kPi + 0.00005f, 1},
                 {float(cg::TwoPi), 0}};
    for (const auto& c : cases) {
        pano_->SetView(c.course, 0);
        Frame();
        Advance(1000);
        EXPECT_NEAR(game().HdrLevel(), c.level, 1e-4f) << c.course;
    }
    pano_->SetView(0.5f, 0.1f);
    Frame();
    EXPECT_EQ(Eval("pano_dist(0.5) .. pano_dist(7.0)"), "00");
    EXPECT_NEAR(std::stof(Eval("pano_dist(0.5 + math.pi)")), 1.0f, 1e-6f);
    EXPECT_NEAR(std::stof(Eval("pano_dist_ex(0.5 + math.pi / 2, 0.1 + math.pi / 2)")),
                std::sqrt(0.5f), 1e-5f);
    NewLogLines();
    game().lua_.Execute("set_sound('none.wav', 1)");
    EXPECT_EQ(NewLogLines(), std::vector<std::string>{"sound not found"});
    pano_->FireDeactivate();
    pano_->FireStop();
    EXPECT_EQ(Eval("pano_dist"), "nil");
}

} // namespace
