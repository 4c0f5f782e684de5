// The start-up sequence through the real executable on SDL's offscreen driver, judged from
// its log and exit status. The program runs until its window closes, so each run is ended
// with SIGTERM (which closes the window) once the program is ready.
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Headless devices; no leak checking in the program (the graphics driver and fontconfig
// keep allocations to the end of the process, as in the drawing tests).
test::StopOptions Until(test::ReadyCheck ready) {
    test::StopOptions stop;
    stop.ready = std::move(ready);
    stop.environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy",
                        "ASAN_OPTIONS=detect_leaks=0"};
    return stop;
}

// The start-up lines in order (the sound placements unswapped), then a clean end on SIGTERM.
TEST(StartupE2E, DebugLogsTheStartupInOrderAndSigtermEndsTheRunCleanly) {
    test::TempDir dir;
    const test::ProcessResult r = test::RunProcessUntil(
        test::GameExecutable(), {"--debug", "-sm", "hard", "--sndbuffer", "soft"}, dir.Path(),
        Until(test::WhenLogHasLine(dir.Path(), "korvantine.log", "Start message processing")));
    ASSERT_TRUE(r.ready) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> expected = {
        "Initializing DirectX Object",    "CreateWindow",
        "Initializing game data",         "Initializing effects",
        "Initializing Heliodrome engine", "Initializing DirectX",
        "Initializing game data",         "Initializing options",
        "Sound buffer placement: soft",   "Sound mixing: hard",
        "Start message processing",       "Destroying window",
        "Deinitializing game data"};
    // Only these lines are judged: the devices and the game may add diagnostics between them.
    std::vector<std::string> lines = test::SplitLines(test::ReadFile(dir / "korvantine.log"));
    std::erase_if(lines, [&](const std::string& line) {
        return std::find(expected.begin(), expected.end(), line) == expected.end();
    });
    EXPECT_EQ(lines, expected);
}

// An unwritable log path is reported on standard error and the run goes on, writing no
// file. Ready once SIGTERM is handled.
TEST(StartupE2E, UnwritableLogPathKeepsTheRunGoing) {
    test::TempDir dir;
    const test::ProcessResult r =
        test::RunProcessUntil(test::GameExecutable(), {"--log=missing/folder/k.log"}, dir.Path(),
                              Until(test::WhenCatchingSigterm()));
    EXPECT_TRUE(r.ready) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Cannot open log file 'missing/folder/k.log'"), std::string::npos)
        << r.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

// A device that cannot be created ends the run by itself: the failed call's location text
// and the error in the log, the error on standard error, exit status 1.
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

// With no video driver chosen and no display to open, the run does not fall back to a driver
// that shows nothing: it says why and ends with status 1. (A driver chosen explicitly, as
// SDL_VIDEODRIVER=offscreen in every other run here, still runs without a display.)
TEST(StartupE2E, NoDisplayAndNoDriverChosenEndsTheRunWithAnError) {
    test::TempDir dir;
    test::StopOptions stop = Until(nullptr);
    // Empty values: no driver chosen, no X server, no Wayland compositor to connect to.
    for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}) {
        stop.environment.push_back(std::string(name) + "=");
    }
    const test::ProcessResult r =
        test::RunProcessUntil(test::GameExecutable(), {"--log=k.log"}, dir.Path(), stop);
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string error = "Error: Cannot open a window: no display found";
    EXPECT_NE(r.err.find(error), std::string::npos) << r.err;
    const std::vector<std::string> lines = test::SplitLines(test::ReadFile(dir / "k.log"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Initializing DirectX Object");
    EXPECT_EQ(lines[1], "CreateWindow");
    EXPECT_EQ(lines[2].rfind(error, 0), 0u) << lines[2];
}

} // namespace
