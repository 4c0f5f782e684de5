#include "FileSystem/Locator.h"
#include "States/Base.h"
#include "support/GameFixture.h"
#include "support/TestSupport.h"

#include <boost/lexical_cast/bad_lexical_cast.hpp>
#include <filesystem>
#include <wx/init.h>

namespace {

// A state kind that only plays a subtitle track.
class Subtitled : public State::Base {
public:
    void Load(const std::string& path) { LoadSubtitles(track_, path); }
    void Update(float elapsed) { UpdateSubtitles(track_, elapsed); }

    State::SubtitleTrack track_;
};

class Subtitles : public test::GameFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    Subtitles() {
        std::filesystem::create_directories(root_ / "Data");
        Locator::Instance().Init(root_.Path().string());
        state_ = std::make_shared<Subtitled>();
    }

    // The state's track read from a file holding `text`, restarted.
    State::SubtitleTrack& Loaded(const std::string& text) {
        test::WriteFile(root_ / "Data" / "lines.txt", text);
        state_->Load("lines.txt");
        state_->track_.Restart();
        return state_->track_;
    }

    // The subtitle shown after an update at `elapsed`, starting from a marker text.
    std::string ShownAt(float elapsed) {
        state_->Update(elapsed);
        return game().subtitle_;
    }

    test::TempDir root_;
    std::shared_ptr<Subtitled> state_;
};

TEST_F(Subtitles, FileLinesBecomeEntries) {
    struct {
        const char* text;
        State::SubtitleTrack::Lines lines;
    } const cases[] = {
        // Every line end; the last line needs none; lines without a colon are skipped.
        {"10:a\n20:b\r\n30:c\r40:d", {{10, "a"}, {20, "b"}, {30, "c"}, {40, "d"}}},
        {"# comment\n\n5:x\r\n\r\n", {{5, "x"}}},
        // Later colons and backslash-n; an empty text; a lone backslash stays.
        {"1500:one\\ntwo\n2000:\n7:a:b \\x\\", {{1500, "one\ntwo"}, {2000, ""}, {7, "a:b \\x\\"}}},
        // Out of order; the first of two equal times wins.
        {"300:late\n100:early\n300:again", {{100, "early"}, {300, "late"}}},
        {"4294967295:max", {{4294967295.0f, "max"}}},
    };
    for (const auto& c : cases) {
        State::SubtitleTrack track;
        track.Parse(c.text);
        EXPECT_EQ(track.GetLines(), c.lines) << c.text;
    }
}

TEST_F(Subtitles, BadTimesThrow) {
    for (const char* text : {":x", "-5:x", "+5:x", " 5:x", "5 :x", "1.5:x", "0x10:x",
                             "4294967296:x", "99999999999999999999:x"}) {
        State::SubtitleTrack track;
        EXPECT_THROW(track.Parse(text), boost::bad_lexical_cast) << text;
    }
}

TEST_F(Subtitles, MissingFilesLeaveTheTrackEmpty) {
    state_->Load("");
    EXPECT_TRUE(NewLogLines().empty());
    state_->Load("none.txt");
    EXPECT_EQ(NewLogLines(), (std::vector<std::string>{"Cannot open file 'none.txt'",
                                                       "Cannot open subtitles file"}));
    EXPECT_TRUE(state_->track_.GetLines().empty());
}

// Lines show once strictly after their time, the latest due one wins, and nothing repeats
// until a restart.
TEST_F(Subtitles, UpdateShowsDueLinesOnceUntilRestart) {
    auto& track = Loaded("1500:one\\ntwo\n2000:\n3000:a\n3100:b\n");
    game().SetSubtitle("before");
    struct {
        float elapsed;
        const char* shown;
    } const steps[] = {{0, "before"}, {1500, "before"}, {1501, "one\ntwo"}, {1999, "one\ntwo"},
                       {2001, ""},    {3200, "b"},      {9000, "b"}};
    for (const auto& step : steps) {
        EXPECT_EQ(ShownAt(step.elapsed), step.shown) << step.elapsed;
    }
    game().SetSubtitle("elsewhere");
    EXPECT_EQ(ShownAt(10000), "elsewhere");
    track.Restart();
    EXPECT_EQ(ShownAt(1600), "one\ntwo");
}

TEST_F(Subtitles, AnUnrestartedTrackShowsNothing) {
    State::SubtitleTrack track;
    track.Parse("0:a");
    int shown = 0;
    track.Update(100, [&](const std::string&) { ++shown; });
    EXPECT_EQ(shown, 0);
}

} // namespace
