#include "DefinitionFixture.h"
#include "LogFile.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "States/Screen.h"
#include "States/ScreenServices.h"

namespace {

using State::InputRecord;

// The demo game as the build assembles it, played with scripted clicks through its state
// machine, frame by frame (no device: the screens hit-test but draw nothing).
class DemoGameTest : public test::DefinitionFixture {
protected:
    DemoGameTest() {
        UseTree(KV_GAME_DIR);
        opts().nomultithread_ = true;
        opts().noload_ = true;
    }

    // Frames until `name` is current (at most 10 s of them).
    bool RunUntil(const std::string& name) {
        for (int i = 0; i < 200 && game().map_.Current() != name; ++i) {
            Frame(50);
        }
        return game().map_.Current() == name;
    }

    // A primary click at a pixel of the 1024x768 screen, after a frame has found what lies
    // under the pointer.
    void Click(float px, float py) {
        State::ScreenServices::SetPointer(px / 1024.0f, py / 768.0f);
        Frame(50);
        const std::vector<InputRecord> click = {{State::kMouseButton0, State::kPressedBit, 0, 0, 0},
                                                {State::kMouseButton0, 0, 0, 0, 0}};
        game().map_.CurrentState()->Input(click.data(), 2, false);
    }
};

// From the title's loading screen to the menu, a new game into the house, and through the
// hall, the study, the desk, the window and the lighthouse gallery by zones and border exits,
// back to the hall.
TEST_F(DemoGameTest, PlaysFromTheMenuThroughTheHouseAndBack) {
    CCustomMessageLoop loop;
    test::LogFileSince log;
    game().Load();
    Map& map = game().map_;
    EXPECT_EQ(map.Current(), "intro_loading");
    ASSERT_TRUE(RunUntil("menu_main"));

    Click(512, 445); // "New game"
    ASSERT_TRUE(RunUntil("hall"));
    EXPECT_EQ(map.PartName(), "house");

    Click(512, 420); // the study door, through white with two flashes
    ASSERT_TRUE(RunUntil("study"));
    EXPECT_GT(brightest_, 0.9f);
    Click(512, 500); // the desk
    ASSERT_TRUE(RunUntil("desk"));
    Click(620, 670); // the drawer, stuck until the note is read
    Click(530, 460); // the note
    ASSERT_TRUE(RunUntil("note"));
    Click(10, 400); // back through the border
    ASSERT_TRUE(RunUntil("desk"));
    Click(620, 670); // the drawer again: the key
    Click(512, 760);
    ASSERT_TRUE(RunUntil("study"));
    Click(512, 300); // the window
    ASSERT_TRUE(RunUntil("window"));
    Click(335, 300); // the lighthouse: the first time a cut-scene, then out onto its gallery
    ASSERT_TRUE(RunUntil("gallery_arrival")); // at the end of its fade-in, half a second on
    EXPECT_EQ(game().subtitle_, "The wind up here is cold and smells of salt.");
    ASSERT_TRUE(RunUntil("gallery"));
    Click(512, 230); // the lamp, ahead and above
    Click(100, 400); // the stairs on the left, back to the window
    ASSERT_TRUE(RunUntil("window"));
    Click(1015, 400);
    ASSERT_TRUE(RunUntil("study"));
    Click(1015, 400);
    ASSERT_TRUE(RunUntil("hall"));
    Click(830, 450); // the cellar door opens with the key
    ASSERT_TRUE(RunUntil("cellar"));

    // The loading screen reports its progress bar's steps; inline, the load is done at once.
    const std::vector<std::string> expected = {
        "Loading 100%",
        "Main menu",
        "Hall, visit 1",
        "Study",
        "Desk",
        "The drawer is stuck.",
        "The keeper's note",
        "Desk",
        "Item 'key' put to inventory",
        "You find a small iron key in the drawer.",
        "Study",
        "Window",
        "The light turns. You have watched it 1 times.",
        "Gallery", // under the cut-scene
        "Gallery",
        "The lamp sweeps over the sea.",
        "Window",
        "Study",
        "Hall, visit 2",
        "The key turns in the cellar door.",
        "Cellar stairs",
    };
    EXPECT_EQ(Traced(log.Lines()), expected);
    EXPECT_EQ(game().inventory_.Carried(), std::vector<std::string>{"key"});
    ASSERT_EQ(game().inventory_.Collected().size(), 1u);
    EXPECT_EQ(game().inventory_.Collected()[0].pages, std::vector<std::string>{"diary_1"});
}

} // namespace
