// The demo game played by a session script: from the main menu into the house, through the
// hall, the study and the desk, back out through the screens' borders, and back to the menu
// with Escape. The clock steps 200 ms per frame to keep the run short; the preload runs
// inline (--nomultithread) so the loading screens hand over on the same frame in every run,
// and no loading-screen frame is compared.
#include "PlayRun.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// The assembled demo game in `dir` played under the session script, the preload inline.
play::Played PlayDemo(const test::TempDir& dir, const std::string& script) {
    test::AssembleGameTree(dir.Path(), fs::path(KV_GAME_DIR) / "Data");
    return play::Play(dir.Path(), script, {"--nomultithread", "--verbose"});
}

TEST(DemoPlayTest, ClicksFromTheMenuThroughTheHouseAndBack) {
    test::TempDir dir;
    const play::Played played = PlayDemo(dir, "step 200\n"
                                              "at 10 move 512 445  # New game\n"
                                              "at 11 capture menu.png\n"
                                              "at 12 press left\n"
                                              "at 13 release left\n"
                                              "at 27 move 512 420  # the study door\n"
                                              "at 28 capture hall.png\n"
                                              "at 30 press left\n"
                                              "at 31 release left\n"
                                              "at 53 move 512 500  # the desk\n"
                                              "at 54 capture study.png\n"
                                              "at 56 press left\n"
                                              "at 57 release left\n"
                                              "at 63 move 512 760  # the bottom border\n"
                                              "at 64 capture desk.png\n"
                                              "at 66 press left\n"
                                              "at 67 release left\n"
                                              "at 76 press left\n"
                                              "at 77 release left\n"
                                              "at 86 keydown Escape\n"
                                              "at 87 keyup Escape\n"
                                              "at 96 move 512 445\n"
                                              "at 98 capture menu_return.png\n"
                                              "at 99 close\n");
    EXPECT_EQ(played.process.status, 0) << played.process.err;

    const std::vector<std::string> path = {
        "menu_main -> activate", "Hall, visit 1",    "hall -> activate",      "study -> activate",
        "desk -> activate",      "desk -> exit",     "study -> activate",     "study -> exit",
        "Hall, visit 2",         "hall -> activate", "menu_main -> activate", "Destroying window"};
    EXPECT_EQ(test::OnlyLines(played.log, path), path);

    // The house has the film look: its grain and scratches follow the fixed clock and the
    // game's seeded random numbers, so these frames repeat exactly too. Compared in 4x4
    // blocks, so the grain does not bloat the expected pictures.
    for (const char* name : {"menu", "hall", "study", "desk", "menu_return"}) {
        EXPECT_TRUE(test::MatchesExpected(dir / (std::string(name) + ".png"),
                                          play::Expected(std::string("demo_") + name + ".png"),
                                          {.scale = 4}));
    }
}

// The lit window of the menu's house plays the prologue film with its subtitles; the right
// button skips it back to the menu.
TEST(DemoPlayTest, PlaysThePrologueFromTheMenuWindowAndSkipsIt) {
    test::TempDir dir;
    const play::Played played = PlayDemo(dir, "step 200\n"
                                              "at 10 move 810 415  # the lit window\n"
                                              "at 12 press left\n"
                                              "at 13 release left\n"
                                              "at 26 capture prologue.png\n"
                                              "at 28 press right\n"
                                              "at 29 release right\n"
                                              "at 45 close\n");
    EXPECT_EQ(played.process.status, 0) << played.process.err;
    const std::vector<std::string> path = {"menu_main -> activate", "prologue -> activate",
                                           "prologue -> exit", "menu_main -> activate"};
    EXPECT_EQ(test::OnlyLines(played.log, path), path);
    EXPECT_TRUE(test::MatchesExpected(dir / "prologue.png", play::Expected("demo_prologue.png"),
                                      {.scale = 4}));
}

} // namespace
