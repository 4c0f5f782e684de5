#include "FileSystem/Locator.h"
#include "States/Base.h"
#include "support/GameFixture.h"
#include "support/TestSupport.h"

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

    // The subtitle shown after an update at `elapsed`.
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
        {"# comment\n10:a\n\n20:b\r\n30:c\r40:d", {{10, "a"}, {20, "b"}, {30, "c"}, {40, "d"}}},
        // Later colons and backslash-n; an empty text; a lone backslash stays.
        {"1500:one\\ntwo\n2000:\n7:a:b \\x\\", {{1500, "one\ntwo"}, {2000, ""}, {7, "a:b \\x\\"}}},
        // Out of order; the first of two equal times wins.
        {"300:late\n100:early\n300:again", {{100, "early"}, {300, "late"}}},
        {"4294967295:max", {{4294967295.0f, "max"}}},
    };
    for (const auto& c : cases) {
        State::SubtitleTrack track;
        EXPECT_TRUE(track.Parse(c.text).empty()) << c.text;
        EXPECT_EQ(track.GetLines(), c.lines) << c.text;
    }
}

// A line whose time is no unsigned 32-bit number costs that line only: it is answered with
// its number and the reason, and the lines around it are kept. A byte-order mark at the very
// start is no part of the first time.
TEST_F(Subtitles, BadLinesAreSkipped) {
    using BadLine = State::SubtitleTrack::BadLine;
    const std::string notANumber = "' is not a whole number of milliseconds";
    const struct {
        std::string text;
        State::SubtitleTrack::Lines lines;
        std::vector<BadLine> bad;
    } cases[] = {
        {"\xEF\xBB\xBF"
         "10:a\r\n20:b\r\n",
         {{10, "a"}, {20, "b"}},
         {}},
        {":x\n5:y", {{5, "y"}}, {{1, "no time before the colon"}}},
        {"1 :x\r\n2:y\r\n 3:z",
         {{2, "y"}},
         {{1, "the time '1 " + notANumber}, {3, "the time ' 3" + notANumber}}},
        {"# note: x\n-5:x\n\n1.5:y\r4294967296:z\r\n7:ok",
         {{7, "ok"}},
         {{1, "the time '# note" + notANumber},
          {2, "the time '-5" + notANumber},
          {4, "the time '1.5" + notANumber},
          {5, "the time '4294967296' is above 4294967295 milliseconds"}}},
        // A damaged time field is quoted cut, whatever its length.
        {std::string(3 << 20, '7') + ":a\n" + std::string(81, 'x') + ":b\n5:c",
         {{5, "c"}},
         {{1, "the time '" + std::string(80, '7') +
                  "...[3145728 bytes, cut]' is above 4294967295 milliseconds"},
          {2, "the time '" + std::string(80, 'x') + "...[81 bytes, cut]" + notANumber}}},
        // Only one mark, and only at the start.
        {"\xEF\xBB\xBF\xEF\xBB\xBF"
         "1:a\n2:b",
         {{2, "b"}},
         {{1, "the time '\xEF\xBB\xBF"
              "1" +
                  notANumber}}},
    };
    for (const auto& c : cases) {
        State::SubtitleTrack track;
        EXPECT_EQ(track.Parse(c.text), c.bad) << c.text.substr(0, 100);
        EXPECT_EQ(track.GetLines(), c.lines) << c.text.substr(0, 100);
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

// Each bad line of a file is logged once, with the file, its number and the reason.
TEST_F(Subtitles, BadLinesAreLoggedWithTheirPlace) {
    test::WriteFile(root_ / "Data" / "bad.txt", "100:a\n-5:b\n200:c\n");
    state_->Load("bad.txt");
    EXPECT_EQ(NewLogLines(), (std::vector<std::string>{
                                 "Subtitles file 'bad.txt', line 2: the time '-5' is not a whole "
                                 "number of milliseconds; the line is skipped"}));
    EXPECT_EQ(state_->track_.GetLines(), (State::SubtitleTrack::Lines{{100, "a"}, {200, "c"}}));
}

// Lines show once strictly after their time, the latest due one wins, and nothing repeats
// until a restart.
TEST_F(Subtitles, UpdateShowsDueLinesOnceUntilRestart) {
    test::WriteFile(root_ / "Data" / "lines.txt", "1500:one\\ntwo\n2000:\n3000:a\n3100:b\n");
    state_->Load("lines.txt");
    State::SubtitleTrack& track = state_->track_;
    track.Restart();
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

} // namespace
