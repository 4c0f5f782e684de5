#include "DefinitionFixture.h"
#include "LogFile.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "States/Base.h"

#include <map>
#include <vector>

namespace {

// The fixture game in this folder, driven through the state machine frame by frame.
class FixtureGameTest : public test::DefinitionFixture {
protected:
    FixtureGameTest() { UseTree(std::string(KV_SOURCE_DIR) + "/tests/Game/Definition/game"); }
};

TEST_F(FixtureGameTest, LoadsAndPlaysToTheEnd) {
    CCustomMessageLoop loop;
    test::LogFileSince log;
    // The autoload part's preload runs inside its loading screen's activation, counting only.
    opts().nomultithread_ = true;
    opts().noload_ = true;
    game().Load();
    EXPECT_EQ(game().idle_.ampl_y, 0.001f);
    Map& map = game().map_;
    for (const char* name :
         {"title", "main", "l_intro", "t_title_gate", "t_title_gate_0", "gate", "court", "l_castle",
          "t_gate_court", "t_gate_court_0", "t_gate_court_1"}) {
        EXPECT_NE(map.GetState(name), nullptr) << name;
    }
    ASSERT_NE(map.GetPart("castle"), nullptr);
    EXPECT_EQ(map.GetPart("castle")->sounds_.size(), 1u);
    EXPECT_TRUE(map.GetPart("intro")->sounds_.empty());

    // The game starts on the autoload part's loading screen; once it has loaded, the frames
    // move on to the title. A click there moves to the gate.
    EXPECT_EQ(map.Current(), "l_intro");
    for (int i = 0; i < 40 && map.Current() != "title"; ++i) {
        Frame(50);
    }
    ASSERT_EQ(map.Current(), "title");
    game().lua_.Execute("move('gate')");
    EXPECT_EQ(map.Current(), "t_title_gate");

    // Frames of 50 ms; note when each state becomes current and the exposure's extremes.
    std::map<std::string, int> became;
    std::string last = map.Current();
    int frame = 0;
    for (; frame < 200 && !loop.QuitPosted(); ++frame) {
        Frame(50);
        if (map.Current() != last) {
            last = map.Current();
            became.emplace(last, frame + 1);
        }
    }
    ASSERT_TRUE(loop.QuitPosted());
    EXPECT_EQ(map.Current(), "court");

    // Each phase ends at the first frame after its end. title -> gate: 200 out (frame 5),
    // the flash 100 in, 100 held, 100 out (frames 8, 11, 14), 300 in: the hand-over at
    // frame 21.
    EXPECT_EQ(became.at("gate"), 21);
    // The gate's first timer once it is active moves on, through white.
    EXPECT_EQ(became.at("t_gate_court"), 22);
    // gate -> court: 500 out (frame 33), two flashes of 50 in, 50 held, 50 out (frames 35,
    // 37, 39 and 41, 43, 45), 500 in: the hand-over at frame 56.
    EXPECT_EQ(became.at("court"), 56);
    EXPECT_NEAR(darkest_, -1.0f, 0.05f);
    EXPECT_NEAR(brightest_, 1.0f, 0.05f);
    EXPECT_EQ(game().exposure_, 0.0f);
    EXPECT_EQ(map.CurrentEffect(), "warm");

    const std::vector<std::string> expected = {
        "init title: function table",
        "title start",
        "title activate",
        "title deactivate",
        "t_title_gate start",
        "title stop",
        "gate start",
        "gate activate",
        "gate deactivate",
        "gate stop",
        "court start",
        "court activate",
    };
    EXPECT_EQ(Traced(log.Lines()), expected);
}

} // namespace
