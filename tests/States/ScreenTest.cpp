#include "States/Screen.h"

#include "States/ScreenServices.h"
#include "support/GameFixture.h"

namespace {

using State::InputRecord;
using State::Screen;
namespace Services = State::ScreenServices;

// A press or release of a mouse button or a key.
InputRecord Button(std::uint32_t button, bool down) {
    return {button, down ? State::kPressedBit : 0u, 0, 0, 0};
}
const InputRecord kPress = Button(State::kMouseButton0, true);
const InputRecord kRelease = Button(State::kMouseButton0, false);

// Screens of one part driven by scripted input: "A" with zones (the door moves to B, the
// lamp counts its clicks in `vars`), "B", and the menu "menu".
class ScreenTest : public test::GameFixture {
protected:
    ScreenTest() {
        opts().nomultithread_ = true;
        game().RegisterApi();
        game().cursor_.Load(
            XmlDom::Child(XmlDom::Root(XmlDom::LoadString(
                              R"(<korvantine><cursor tex="c.png"><context index="0" name=""/>)"
                              R"(<context index="1" name="move"/><context index="2" name="do"/>)"
                              R"(<context index="3" name="look"/><context index="4" name="leave"/>)"
                              R"(</cursor></korvantine>)")),
                          "cursor"));
        game().lua_.Execute("seen = {}");
        const std::string xml =
            R"(<korvantine><map autoload="p" menu="menu"><part name="p" start="A" load="none")"
            R"( effect="clean"><sounds/><textures/>)"
            R"(<screen name="A" src="a.png" exit="B" exitcontext="leave">)"
            R"(<event name="exit">seen[#seen + 1] = 'A:exit'</event>)"
            R"(<zone/><zone x="1"/><zone name="zone1" x="2"/>)"
            R"(<zone name="door" x="100" y="100" w="200" h="200">)"
            R"(clicks = (clicks or 0) + 1 move('B')</zone>)"
            R"(<zone name="lamp" x="600" y="100" w="100" h="100" context="do">)"
            R"(vars.lamp = (vars.lamp or 0) + 1</zone>)"
            R"(<zone name="lamp_shade" x="650" y="100" w="100" h="100" context="look">)"
            R"(seen[#seen + 1] = 'shade'</zone>)"
            R"(</screen>)"
            R"(<screen name="B" src="b.png">)"
            R"(<event name="exit">seen[#seen + 1] = 'B:exit'</event></screen>)"
            R"(<menu name="menu" src="m.png"/>)"
            R"(</part></map></korvantine>)";
        map_.Load(XmlDom::Child(XmlDom::Root(XmlDom::LoadString(xml)), "map"));
        map_.SetState("A");
    }

    std::shared_ptr<Screen> Get(const std::string& name) {
        return std::dynamic_pointer_cast<Screen>(map_.GetState(name));
    }

    // Puts the pointer on a pixel of the 1024x768 screen and lets A find what is under it,
    // as its frame does.
    void Point(float px, float py) {
        Services::SetPointer(px / 1024.0f, py / 768.0f);
        if (auto screen = std::dynamic_pointer_cast<Screen>(map_.CurrentState())) {
            screen->UpdateHover();
        }
    }

    void Send(std::vector<InputRecord> records, bool keyboard = false) {
        map_.CurrentState()->Input(records.data(), static_cast<int>(records.size()), keyboard);
    }

    std::string Seen() {
        const std::string seen = Eval("table.concat(seen, ' ')");
        game().lua_.Execute("seen = {}");
        return seen;
    }

    Map& map_ = game().map_;
};

// The control drawn last is hit first; the cursor takes the context of what is under it, the
// exit context in the border band.
TEST_F(ScreenTest, HitTestingAndContexts) {
    const auto a = Get("A");
    // The third zone, named "zone1", replaced the second one keyed so by its position.
    EXPECT_EQ(a->Controls().size(), 5u);
    EXPECT_EQ(a->Controls().at("zone1")->name_, "zone1");
    const struct {
        float px, py;
        const char* hovered;
        const char* context;
    } cases[] = {
        {200, 200, "door", "move"},       {620, 150, "lamp", "do"},
        {680, 150, "lamp_shade", "look"}, // both lamps: the later key wins
        {500, 400, nullptr, ""},          {10, 400, nullptr, "leave"}, // left border band
        {51.2f, 400, nullptr, ""},    // exactly on the band's inner edge
        {500, 760, nullptr, "leave"}, // bottom band
    };
    for (const auto& c : cases) {
        Point(c.px, c.py);
        EXPECT_EQ(a->Hovered() ? a->Hovered()->name_ : std::string("none"),
                  c.hovered ? c.hovered : "none")
            << c.px << "," << c.py;
        EXPECT_EQ(Services::PointerContext(), c.context) << c.px << "," << c.py;
    }
}

// A press and a release over the same zone click it once and then drop any carried item; a
// press dragged off the zone clicks nothing.
TEST_F(ScreenTest, ClickNeedsPressAndReleaseOnTheSameZone) {
    Point(620, 150);
    Send({kPress, kRelease});
    EXPECT_EQ(Eval("vars.lamp"), "1");

    Send({kPress});
    Point(500, 400);
    Send({kRelease});
    Point(620, 150);
    Send({kRelease});
    EXPECT_EQ(Eval("vars.lamp"), "1") << "no click without a press on the zone";

    opts().mouseLeftHanded_ = true;
    Send({Button(State::kMouseButton1, true), Button(State::kMouseButton1, false)});
    Send({kPress, kRelease});
    EXPECT_EQ(Eval("vars.lamp"), "2") << "left-handed: button 1 clicks, button 0 does not";
}

// A batch whose first click moves on does not act on the screen left: the second click of
// the batch does not run.
TEST_F(ScreenTest, RestOfTheBatchIsNotForAScreenLeft) {
    Point(200, 200);
    const InputRecord motion = {0, 5, 0, 0, 0};
    Send({kPress, kRelease, kPress, kRelease, motion});
    EXPECT_EQ(map_.Current(), "t_A_B");
    EXPECT_EQ(Eval("clicks"), "1");
    EXPECT_GT(Services::PointerX(), 200.0f / 1024.0f) << "the motion still moves the pointer";
}

// A press survives no visit: after leaving and coming back, a release over the zone is no
// click. A primary press in the border band with nothing under the pointer moves to the
// exit state, then fires "exit"; on the band's inner edge it does nothing.
TEST_F(ScreenTest, PressDoesNotSurviveLeavingAndBorderPressExits) {
    Point(620, 150);
    Send({kPress});
    map_.GetState("A")->FireDeactivate();
    map_.GetState("A")->FireStop();
    map_.GetState("A")->FireStart();
    Send({kRelease});
    EXPECT_EQ(Eval("tostring(vars.lamp)"), "nil");

    Point(51.2f, 400);
    Send({kPress, kRelease});
    EXPECT_EQ(map_.Current(), "A");
    Point(20, 400);
    Send({kPress});
    EXPECT_EQ(map_.Current(), "t_A_B");
    EXPECT_EQ(Seen(), "A:exit");
}

// A screen without an exit: every border press fires "exit" and moves nowhere; only the
// first says in the log that it names no state.
TEST_F(ScreenTest, BorderOfAScreenWithoutAnExitLogsItOnce) {
    const std::shared_ptr<Screen> b = Get("B");
    Services::SetPointer(20.0f / 1024.0f, 0.5f);
    b->UpdateHover();
    NewLogLines();
    const std::vector<InputRecord> click = {kPress, kRelease};
    for (int i = 0; i < 3; ++i) {
        b->Input(click.data(), 2, false);
    }
    EXPECT_EQ(NewLogLines(), std::vector<std::string>{"Trying to get undefined state ''"});
    EXPECT_EQ(Seen(), "B:exit B:exit B:exit");
    EXPECT_EQ(map_.Current(), "A");
}

// Escape opens the menu from a screen that shows the inventory, not from a menu; a flash
// screen takes no input at all.
TEST_F(ScreenTest, KeysAndScreensWithoutInput) {
    Send({Button(0x01, true), Button(0x01, false)}, true);
    EXPECT_EQ(map_.Current(), "t_A_menu");
    const std::string inMenu = map_.Current();
    const std::vector<InputRecord> escape = {Button(0x01, true), Button(0x01, false)};
    Get("menu")->Input(escape.data(), 2, true);
    EXPECT_EQ(map_.Current(), inMenu) << "a menu does not open the menu";

    Screen flash("flash", "f.png");
    EXPECT_FALSE(flash.ShowCursor());
    EXPECT_FALSE(flash.ShowInventory());
    Services::SetPointer(0.01f, 0.5f);
    const std::vector<InputRecord> press = {kPress};
    flash.Input(press.data(), 1, false);
    EXPECT_EQ(map_.Current(), inMenu);
}

} // namespace
