#include "Platform/Session/Session.h"

#include "Game/Exception.h"
#include "support/TestSupport.h"
#include "support/ThrownText.h"

#include <gtest/gtest.h>

namespace {

using Session::Command;
using Kind = Command::Kind;

// Every kind of bad line is refused with its line number, so a broken script cannot pass.
TEST(SessionScript, RefusesBadLinesWithTheirNumber) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"jump 3", "line 1: unknown command 'jump'"},
        {"# fine\n\nstep", "line 3: 'step' takes one number"},
        {"step 0", "line 1: the step must be a whole number of milliseconds from 1 to 60000"},
        {"step 20ms", "line 1: the step must be a whole number of milliseconds from 1 to 60000"},
        {"range -5", "line 1: the range must be a whole number of mouse units from 1 to 1000000"},
        {"at 0 close", "line 1: 'at' needs a frame number from 1 and an action"},
        {"at x close", "line 1: 'at' needs a frame number from 1 and an action"},
        {"at 5", "line 1: 'at' needs a frame number from 1 and an action"},
        {"at 5 fly", "line 1: unknown action 'fly'"},
        {"at 5 move 10", "line 1: 'move' takes a pixel: x y"},
        {"at 5 move 1024 0", "line 1: the pixel must lie in the 1024x768 frame"},
        {"at 5 move 0 -1", "line 1: the pixel must lie in the 1024x768 frame"},
        {"at 5 press thumb", "line 1: unknown button 'thumb'"},
        {"at 5 release", "line 1: 'release' takes a button: left, right or middle"},
        {"at 5 keydown NoSuchKey", "line 1: unknown key 'NoSuchKey'"},
        {"at 5 capture ../up.png", "line 1: 'capture' takes a plain file name ending in .png"},
        {"at 5 capture shot.bmp", "line 1: 'capture' takes a plain file name ending in .png"},
        {"at 5 close now", "line 1: 'close' takes nothing more"},
    };
    for (const auto& c : cases) {
        Session::Script script;
        std::string error;
        EXPECT_FALSE(Session::ParseScript(c.text, script, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

// Commands come out by frame, in line order within a frame; a move is a pin and, one frame
// later, the motion from the corner.
TEST(SessionScript, OrdersCommandsByFrameAndSplitsMoves) {
    Session::Script script;
    std::string error;
    ASSERT_TRUE(Session::ParseScript("step 20  # per frame\nrange 500\n"
                                     "at 11 press left\nat 10 move 512 384\n"
                                     "at 11 capture a.png\nat 12 keyup Escape\nat 12 close\n",
                                     script, error))
        << error;
    EXPECT_EQ(script.step, 20u);
    EXPECT_EQ(script.range, 500);
    const std::vector<std::pair<unsigned, Kind>> expected = {
        {10, Kind::Pin},     {11, Kind::Press}, {11, Kind::MoveFromCorner},
        {11, Kind::Capture}, {12, Kind::KeyUp}, {12, Kind::Close}};
    std::vector<std::pair<unsigned, Kind>> actual;
    for (const Command& c : script.commands) {
        actual.emplace_back(c.frame, c.kind);
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(script.commands[2].x, 512);
    EXPECT_EQ(script.commands[2].y, 384);
}

// The fixed clock counts presented frames; input is handed out once, for the frame drawn
// next, and captures name files in the session's folder.
TEST(Session, FixedClockAndInputFollowPresentedFrames) {
    Session::Script script;
    std::string error;
    ASSERT_TRUE(Session::ParseScript("step 20\nat 1 press left\nat 3 move 0 0\n"
                                     "at 3 capture x.png\nat 5 close\n",
                                     script, error));
    Session::Session session(script, "/captures");
    EXPECT_TRUE(session.FixedStep());
    std::vector<std::pair<unsigned, std::size_t>> taken;
    for (unsigned frame = 1; frame <= 5; ++frame) {
        EXPECT_EQ(session.Milliseconds(), (frame - 1) * 20u);
        EXPECT_EQ(session.Counter(), std::int64_t(frame - 1) * 20000);
        taken.emplace_back(frame, session.TakeInput().size());
        EXPECT_TRUE(session.TakeInput().empty()) << "taken twice in frame " << frame;
        session.FramePresented();
    }
    const std::vector<std::pair<unsigned, std::size_t>> expected = {
        {1, 1}, {2, 0}, {3, 1}, {4, 1}, {5, 1}};
    EXPECT_EQ(taken, expected);
    EXPECT_EQ(session.CapturesOf(3), std::vector<std::filesystem::path>{"/captures/x.png"});
    EXPECT_TRUE(session.CapturesOf(4).empty());
}

// A script that cannot be read or parsed ends the run with the file and the reason.
TEST(Session, LoadReportsTheFileAndTheReason) {
    test::TempDir dir;
    test::WriteFile(dir / "bad.txt", "step 20\nat 3 wave\n");
    const auto what = [](const std::filesystem::path& file) {
        return test::ThrownText([&] { Session::Session::Load(file); });
    };
    EXPECT_EQ(what(dir / "bad.txt"), "Bad session script '" + (dir / "bad.txt").string() +
                                         "', line 2: unknown action 'wave'");
    EXPECT_EQ(what(dir / "none.txt"),
              "Cannot read the session script '" + (dir / "none.txt").string() + "'");
    test::WriteFile(dir / "good.txt", "at 2 capture f.png\n");
    EXPECT_FALSE(Session::Session::Load(dir / "good.txt")->FixedStep());
}

} // namespace
