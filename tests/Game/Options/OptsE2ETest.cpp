// The fixture game through the real executable: the options file created on the first run,
// run (and kept) on the next, where a hostile one ends within its limit.
#include "Game/Opts.h"
#include "support/GameTree.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Runs the game until its log `log` has `line`; SIGTERM then ends it.
test::ProcessResult RunUntil(const fs::path& dir, const std::string& log, const std::string& line,
                             const std::vector<std::string>& switches) {
    test::StopOptions stop;
    stop.ready = test::WhenLogHasLine(dir, log, line);
    stop.environment = test::HeadlessEnvironment();
    std::vector<std::string> args = {"--log=" + log};
    args.insert(args.end(), switches.begin(), switches.end());
    return test::RunProcessUntil((dir / "Bin/korvantine").string(), args, dir, stop);
}

TEST(OptsE2E, FixtureGameCreatesTheFileThenRunsIt) {
    test::TempDir dir;
    test::AssembleGameTree(dir.Path(), fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
    const fs::path file = dir / "Bin/korvantine.cfg";

    // The title's scripts run once the loading screen is done; the light switch goes into
    // the new file.
    test::ProcessResult r = RunUntil(dir.Path(), "first.log", "title activate", {"--light"});
    ASSERT_TRUE(r.ready) << r.err << test::ReadFile(dir / "first.log");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> traced = {"init title: function table", "title start",
                                             "title activate"};
    EXPECT_EQ(test::OnlyLines(test::SplitLines(test::ReadFile(dir / "first.log")), traced), traced);
    Opts::Data expected;
    expected.light_ = true;
    EXPECT_EQ(test::ReadFile(file), expected.Format());

    // A file that would hold the start for hours (two strings of 2 MB compared without end,
    // each comparison taking milliseconds) is stopped at its time limit, well within the
    // wait for the start; the game starts with the defaults.
    const std::string own = test::ReadFile(file) + "local s = 'x' for i = 1, 21 do s = s .. s end\n"
                                                   "local t = s .. 'y' while s < t do end\n";
    test::WriteFile(file, own);
    r = RunUntil(dir.Path(), "second.log", "Start message processing", {});
    ASSERT_TRUE(r.ready) << r.err << test::ReadFile(dir / "second.log");
    std::vector<std::string> lines = test::SplitLines(test::ReadFile(dir / "second.log"));
    const std::string stopped = "not used, the defaults are kept: ran for too long";
    for (std::string& line : lines) {
        if (line.rfind("Options file '", 0) == 0 && line.ends_with(stopped)) {
            line = stopped;
        }
    }
    const std::vector<std::string> wanted = {"Initializing options", stopped,
                                             "Start message processing"};
    EXPECT_EQ(test::OnlyLines(lines, wanted), wanted);
    EXPECT_EQ(test::ReadFile(file), own);
}

} // namespace
