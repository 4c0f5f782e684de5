// The fixture game through the real executable on SDL's offscreen driver, judged from its
// log. The engine finds its root as the parent of the executable's folder, so the executable
// is copied into a tree of its own beside the fixture's data; the effects and common
// textures every start-up needs come from the assembled game tree.
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// <dir>/Bin/korvantine, <dir>/Data (the fixture with the game tree's effects and common
// textures) and an empty <dir>/Save.
void AssembleTree(const fs::path& dir) {
    const fs::path game = fs::path(KV_GAME_DIR) / "Data";
    const auto recursive = fs::copy_options::recursive;
    fs::create_directories(dir / "Bin");
    fs::create_directories(dir / "Data/gfx");
    fs::create_directories(dir / "Save");
    fs::copy_file(test::GameExecutable(), dir / "Bin/korvantine");
    fs::copy(fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data", dir / "Data", recursive);
    fs::copy(game / "effect", dir / "Data/effect", recursive);
    fs::copy(game / "gfx/common", dir / "Data/gfx/common", recursive);
}

// The lines of `lines` that are in `wanted`, in the order they came.
std::vector<std::string> Only(std::vector<std::string> lines,
                              const std::vector<std::string>& wanted) {
    std::erase_if(lines, [&](const std::string& line) {
        return std::find(wanted.begin(), wanted.end(), line) == wanted.end();
    });
    return lines;
}

// Nothing clicks in the run, so the game rests on its title once the loading screen is done;
// SIGTERM then ends it, or the fixture's own game_exit() if it gets that far.
TEST(FixtureGameE2E, StartsAndPlaysTheFirstMovesAndEndsCleanly) {
    test::TempDir dir;
    AssembleTree(dir.Path());
    test::StopOptions stop;
    stop.ready = test::WhenLogHasLine(dir.Path(), "run.log", "title activate");
    stop.environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy",
                        "ASAN_OPTIONS=detect_leaks=0"};
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
    EXPECT_EQ(Only(lines, startup), startup);
    const std::vector<std::string> traced = {"init title: function table", "title start",
                                             "title activate"};
    EXPECT_EQ(Only(lines, traced), traced);
}

} // namespace
