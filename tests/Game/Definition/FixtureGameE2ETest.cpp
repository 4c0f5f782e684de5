// The fixture game through the real executable on SDL's offscreen driver, judged from its
// log, in a game tree of its own.
#include "support/GameTree.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Nothing clicks in the run, so the game rests on its title once the loading screen is done;
// SIGTERM then ends it, or the fixture's own game_exit() if it gets that far.
TEST(FixtureGameE2E, StartsAndPlaysTheFirstMovesAndEndsCleanly) {
    test::TempDir dir;
    test::AssembleGameTree(dir.Path(), fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
    test::StopOptions stop;
    stop.ready = test::WhenLogHasLine(dir.Path(), "run.log", "title activate");
    stop.environment = test::HeadlessEnvironment();
    const test::ProcessResult r = test::RunProcessUntil((dir / "Bin/korvantine").string(),
                                                        {"--log=run.log"}, dir.Path(), stop);
    const std::vector<std::string> lines = test::SplitLines(test::ReadFile(dir / "run.log"));
    ASSERT_TRUE(r.ready) << r.err << test::ReadFile(dir / "run.log");
    EXPECT_EQ(r.status, 0) << r.err;

    const std::vector<std::string> startup = {
        "Initializing DirectX Object",    "CreateWindow",
        "Initializing game data",         "Initializing effects",
        "Initializing Heliodrome engine", "Initializing DirectX",
        "Initializing game data",         "Initializing options",
        "Start message processing",       "Destroying window",
        "Deinitializing game data"};
    EXPECT_EQ(test::OnlyLines(lines, startup), startup);
    const std::vector<std::string> traced = {"init title: function table", "title start",
                                             "title activate"};
    EXPECT_EQ(test::OnlyLines(lines, traced), traced);
}

} // namespace
