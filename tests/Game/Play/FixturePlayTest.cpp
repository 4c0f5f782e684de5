// The fixture game played by a session script: the cursor moved onto the title's door and
// clicked, the transition to the yard through black, and the debug overlay of --info. The
// clock steps 20 ms per frame, so every frame number below is the same in every run.
#include "PlayRun.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class FixturePlayTest : public ::testing::Test {
protected:
    FixturePlayTest() {
        test::AssembleGameTree(dir_.Path(),
                               fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
    }

    // The preload runs inline (--nomultithread), so the title is fully in by frame 60.
    play::Played Play(const std::string& actions, std::vector<std::string> args = {}) {
        args.push_back("--nomultithread");
        play::Played played = play::Play(dir_.Path(), "step 20\n" + actions, std::move(args));
        EXPECT_EQ(played.process.status, 0) << played.process.err;
        return played;
    }

    test::TempDir dir_;
};

std::uint32_t Rgb(const test::Picture& picture, int x, int y) {
    return picture.argb[std::size_t(y) * picture.width + std::size_t(x)] & 0xFFFFFF;
}

TEST_F(FixturePlayTest, ClickFadesThroughBlackToTheYard) {
    const play::Played played = Play("at 60 move 600 330\n"
                                     "at 64 capture title.png\n"
                                     "at 65 press left\n"
                                     "at 66 release left\n"
                                     "at 76 capture darkest.png\n"
                                     "at 95 capture yard.png\n"
                                     "at 96 close\n");
    const std::vector<std::string> states = {"title activate", "title deactivate", "title stop",
                                             "yard activate", "Destroying window"};
    EXPECT_EQ(test::OnlyLines(played.log, states), states);

    // The cursor's "do" cell (a red centre on its hot spot) where the script put it, and
    // not where it started, in the middle of the door.
    const test::Picture title = test::LoadPicture(dir_ / "title.png");
    EXPECT_EQ(Rgb(title, 600, 330), 0xFF0000u);
    EXPECT_EQ(Rgb(title, 512, 384), 0xE6C828u);
    EXPECT_TRUE(test::MatchesExpected(dir_ / "title.png", play::Expected("fixture_title.png")));

    // The end of the 200 ms fade out: black, the cursor included.
    const test::Picture darkest = test::LoadPicture(dir_ / "darkest.png");
    const std::uint32_t brightest = *std::max_element(
        darkest.argb.begin(), darkest.argb.end(),
        [](std::uint32_t a, std::uint32_t b) { return (a & 0xFFFFFF) < (b & 0xFFFFFF); });
    EXPECT_LE(brightest & 0xFFFFFF, 0x080808u);

    EXPECT_TRUE(test::MatchesExpected(dir_ / "yard.png", play::Expected("fixture_yard.png")));
}

// The overlay's numbers are those of the fixed clock (50 frames per second, the game time
// of frame 64), so the whole frame is compared.
TEST_F(FixturePlayTest, InfoShowsTheDebugOverlay) {
    Play("at 64 capture info.png\nat 65 close\n", {"--info"});
    EXPECT_TRUE(test::MatchesExpected(dir_ / "info.png", play::Expected("fixture_info.png")));
}

// A broken script never passes for a run: the program ends at once with the line's fault.
TEST_F(FixturePlayTest, BadScriptEndsTheRunWithAnError) {
    const play::Played played = play::Play(dir_.Path(), "step 20\nat 5 jump\n", {});
    EXPECT_EQ(played.process.status, 1);
    EXPECT_NE(played.process.err.find("line 2: unknown action 'jump'"), std::string::npos)
        << played.process.err;
}

} // namespace
