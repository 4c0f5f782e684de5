// The start-up sequence through the real executable, judged from its log and exit status.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kStartupLines = {
    "Initializing DirectX Object",    "Initializing game data", "Initializing effects",
    "Initializing Heliodrome engine", "Initializing options",
};

TEST(StartupE2E, DebugWritesTheStartupLinesInOrderToTheDefaultLog) {
    test::TempDir dir;
    const test::ProcessResult r = test::RunProcess(test::GameExecutable(), {"--debug"}, dir.Path());
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = test::SplitLines(test::ReadFile(dir / "korvantine.log"));
    std::vector<std::string> expected = kStartupLines;
    expected.insert(expected.end(), {"Sound buffer placement: auto", "Sound mixing: auto",
                                     "Start message processing"});
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
}

TEST(StartupE2E, PlacementOptionsAreReportedUnswapped) {
    test::TempDir dir;
    const test::ProcessResult r =
        test::RunProcess(test::GameExecutable(),
                         {"-sm", "hard", "--sndbuffer", "soft", "--log=run.log"}, dir.Path());
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string log = test::ReadFile(dir / "run.log");
    EXPECT_NE(log.find("Sound buffer placement: soft\nSound mixing: hard\n"), std::string::npos)
        << log;
}

TEST(StartupE2E, NoLogOptionWritesNoLogFile) {
    test::TempDir dir;
    const test::ProcessResult r = test::RunProcess(test::GameExecutable(), {}, dir.Path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(StartupE2E, UnwritableLogPathKeepsTheRunGoing) {
    test::TempDir dir;
    const test::ProcessResult r =
        test::RunProcess(test::GameExecutable(), {"--log=missing/folder/k.log"}, dir.Path());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Cannot open log file 'missing/folder/k.log'"), std::string::npos)
        << r.err;
}

TEST(StartupE2E, UnknownSwitchPrintsUsageAndRuns) {
    test::TempDir dir;
    const test::ProcessResult r =
        test::RunProcess(test::GameExecutable(), {"--bogus", "--log=k.log"}, dir.Path());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << r.err;
    EXPECT_NE(test::ReadFile(dir / "k.log").find("Start message processing"), std::string::npos);
}

} // namespace
