// The options file through the real executable: created on the first run, run (and kept)
// on the next.
#include "Game/Opts.h"
#include "support/GameTree.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Runs the game until it has read its options; its log goes to `log`.
test::ProcessResult RunUntilOptionsRead(const fs::path& dir, const std::string& log,
                                        const std::vector<std::string>& switches) {
    test::StopOptions stop;
    stop.ready = test::WhenLogHasLine(dir, log, "Start message processing");
    stop.environment = test::HeadlessEnvironment();
    std::vector<std::string> args = {"--log=" + log};
    args.insert(args.end(), switches.begin(), switches.end());
    return test::RunProcessUntil((dir / "Bin/korvantine").string(), args, dir, stop);
}

TEST(OptsE2E, CreatesTheFileThenRunsIt) {
    test::TempDir dir;
    test::AssembleGameTree(dir.Path(), fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
    const fs::path file = dir / "Bin/korvantine.cfg";

    // The light switch goes into the new file.
    test::ProcessResult r = RunUntilOptionsRead(dir.Path(), "first.log", {"--light"});
    ASSERT_TRUE(r.ready) << r.err << test::ReadFile(dir / "first.log");
    Opts::Data expected;
    expected.light_ = true;
    EXPECT_EQ(test::ReadFile(file), expected.Format());

    const std::string own = test::ReadFile(file) + "trace('options ran')\n";
    test::WriteFile(file, own);
    r = RunUntilOptionsRead(dir.Path(), "second.log", {});
    ASSERT_TRUE(r.ready) << r.err << test::ReadFile(dir / "second.log");
    const std::vector<std::string> wanted = {"Initializing options", "options ran",
                                             "Start message processing"};
    EXPECT_EQ(test::OnlyLines(test::SplitLines(test::ReadFile(dir / "second.log")), wanted),
              wanted);
    EXPECT_EQ(test::ReadFile(file), own);
}

} // namespace
