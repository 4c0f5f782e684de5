// The start-up sequence through the real executable on SDL's offscreen driver, judged from
// its log and exit status. The program runs until its window closes, so each run is ended
// with SIGTERM (which closes the window) once the program is ready.
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kStartupLines = {
    "Initializing DirectX Object",    "CreateWindow",
    "Initializing game data",         "Initializing effects",
    "Initializing Heliodrome engine", "Initializing options",
};

// Headless devices for the program. Leak checking is off in the program (when it is built
// with the address sanitizer): the graphics driver and fontconfig keep allocations to the end
// of the process, which the checker cannot tell from ours, as in the drawing tests.
std::vector<std::string> ChildEnvironment() {
    return {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "ASAN_OPTIONS=detect_leaks=0"};
}

test::StopOptions Until(test::ReadyCheck ready) {
    test::StopOptions stop;
    stop.ready = std::move(ready);
    stop.environment = ChildEnvironment();
    return stop;
}

// Runs the game until its log has "Start message processing", then ends it.
test::ProcessResult RunUntilLooping(const std::vector<std::string>& args, const test::TempDir& dir,
                                    const std::string& log) {
    return test::RunProcessUntil(
        test::GameExecutable(), args, dir.Path(),
        Until(test::WhenLogHasLine(dir.Path(), log, "Start message processing")));
}

TEST(StartupE2E, DebugLogsTheStartupInOrderAndSigtermEndsTheRunCleanly) {
    test::TempDir dir;
    const test::ProcessResult r = RunUntilLooping({"--debug"}, dir, "korvantine.log");
    ASSERT_TRUE(r.ready) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> expected = kStartupLines;
    // The engine's own lines come right after its announcement.
    expected.insert(expected.begin() + 5, {"Initializing DirectX", "Initializing game data"});
    expected.insert(expected.end(),
                    {"Sound buffer placement: auto", "Sound mixing: auto",
                     "Start message processing", "Destroying window", "Deinitializing game data"});
    // Only these lines are judged: the devices and the game may add diagnostics between them.
    std::vector<std::string> lines = test::SplitLines(test::ReadFile(dir / "korvantine.log"));
    std::erase_if(lines, [&](const std::string& line) {
        return std::find(expected.begin(), expected.end(), line) == expected.end();
    });
    EXPECT_EQ(lines, expected);
}

TEST(StartupE2E, PlacementOptionsAreReportedUnswapped) {
    test::TempDir dir;
    const test::ProcessResult r =
        RunUntilLooping({"-sm", "hard", "--sndbuffer", "soft", "--log=run.log"}, dir, "run.log");
    ASSERT_TRUE(r.ready) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string log = test::ReadFile(dir / "run.log");
    EXPECT_NE(log.find("Sound buffer placement: soft\nSound mixing: hard\n"), std::string::npos)
        << log;
}

TEST(StartupE2E, UnknownSwitchPrintsUsageAndRuns) {
    test::TempDir dir;
    const test::ProcessResult r = RunUntilLooping({"--bogus", "--log=k.log"}, dir, "k.log");
    EXPECT_TRUE(r.ready) << r.err;
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << r.err;
}

// Without a log there is nothing to watch: the run counts as started once the window's
// SIGTERM handler is in place.
TEST(StartupE2E, NoLogOptionWritesNoLogFile) {
    test::TempDir dir;
    const test::ProcessResult r = test::RunProcessUntil(test::GameExecutable(), {}, dir.Path(),
                                                        Until(test::WhenCatchingSigterm()));
    EXPECT_TRUE(r.ready) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(StartupE2E, UnwritableLogPathKeepsTheRunGoing) {
    test::TempDir dir;
    const test::ProcessResult r =
        test::RunProcessUntil(test::GameExecutable(), {"--log=missing/folder/k.log"}, dir.Path(),
                              Until(test::WhenCatchingSigterm()));
    EXPECT_TRUE(r.ready) << r.err;
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Cannot open log file 'missing/folder/k.log'"), std::string::npos)
        << r.err;
}

// A device that cannot be created ends the run by itself: the failed call's location text
// in the log, the error on standard error and in the log, exit status 1, and nothing after
// the device step started.
TEST(StartupE2E, WindowThatCannotBeCreatedEndsTheRunWithAnError) {
    test::TempDir dir;
    test::StopOptions stop = Until(nullptr);
    stop.environment.push_back("SDL_VIDEODRIVER=no-such-driver");
    const test::ProcessResult r =
        test::RunProcessUntil(test::GameExecutable(), {"--log=k.log"}, dir.Path(), stop);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("Error: HRESULT: -2147467259"), std::string::npos) << r.err;
    const std::vector<std::string> lines = test::SplitLines(test::ReadFile(dir / "k.log"));
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
              (std::vector<std::string>{"Initializing DirectX Object", "CreateWindow",
                                        "\tAt .\\Game\\DirectX",
                                        "\tOn wnd_.Create ( 0, CRect ( 0, 0, 1024, 768 ) )"}));
    EXPECT_EQ(lines[4].rfind("Cannot start the video subsystem", 0), 0u) << lines[4];
    EXPECT_EQ(lines[5], "Error: HRESULT: -2147467259");
}

} // namespace
