#include "Game/CommandLine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <wx/init.h>
#include <wx/msgout.h>
#include <wx/string.h>

namespace {

// Collects what the parser prints (its usage and error texts).
class CapturedOutput : public wxMessageOutput {
public:
    std::string text_;

protected:
    void Output(const wxString& str) override { text_ += str.ToStdString() + "\n"; }
};

struct Parsed {
    Opts::Data data;
    std::string output;
};

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "korvantine");
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    auto* capture = new CapturedOutput;
    delete wxMessageOutput::Set(capture);
    Parsed parsed;
    Opts::ParseCommandLine(static_cast<int>(args.size()), argv.data(), parsed.data);
    parsed.output = capture->text_;
    return parsed;
}

class CommandLine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }
};

TEST(OptsData, FreshRecordHasTheDefaults) {
    const Opts::Data d;
    EXPECT_TRUE(d.swayAllowed_);
    EXPECT_TRUE(d.vsync_);
    EXPECT_EQ(d.intro_, 1);
    EXPECT_FLOAT_EQ(d.hintDelay_, 1000.0f);
    EXPECT_FLOAT_EQ(d.brightness_, 0.5f);
    EXPECT_FLOAT_EQ(d.soundVolume_, 1.0f);
    EXPECT_FLOAT_EQ(d.musicVolume_, 0.57f);
    EXPECT_FLOAT_EQ(d.mouseSensitivity_, 0.5f);
    EXPECT_EQ(d.soundBuffer_, Opts::kPlacementAuto);
    EXPECT_EQ(d.soundMixer_, Opts::kPlacementAuto);
    EXPECT_TRUE(d.logPath_.empty());
    for (bool flag :
         {d.debug_, d.noidle_, d.nomove_, d.info_, d.area_, d.noload_, d.nomultithread_, d.console_,
          d.verbose_, d.windowed_, d.light_, d.mouseInvert_, d.mouseLeftHanded_}) {
        EXPECT_FALSE(flag);
    }
}

TEST_F(CommandLine, NoArgumentsLeavesEverySwitchOff) {
    const Parsed p = Parse({});
    const Opts::Data fresh;
    EXPECT_FALSE(p.data.debug_ || p.data.windowed_ || p.data.light_ || p.data.console_ ||
                 p.data.verbose_ || p.data.info_ || p.data.area_ || p.data.noidle_ ||
                 p.data.noload_ || p.data.nomultithread_);
    EXPECT_EQ(p.data.soundBuffer_, Opts::kPlacementAuto);
    EXPECT_EQ(p.data.soundMixer_, Opts::kPlacementAuto);
    EXPECT_TRUE(p.data.logPath_.empty());
    EXPECT_TRUE(p.output.empty());
}

TEST_F(CommandLine, DebugTurnsOnItsCompanionsAndTheDefaultLog) {
    const Parsed p = Parse({"--debug"});
    EXPECT_TRUE(p.data.debug_);
    EXPECT_TRUE(p.data.windowed_);
    EXPECT_TRUE(p.data.light_);
    EXPECT_TRUE(p.data.console_);
    EXPECT_TRUE(p.data.info_);
    EXPECT_TRUE(p.data.area_);
    EXPECT_TRUE(p.data.noidle_);
    EXPECT_FALSE(p.data.verbose_);
    EXPECT_FALSE(p.data.noload_);
    EXPECT_FALSE(p.data.nomultithread_);
    EXPECT_EQ(p.data.logPath_, "korvantine.log");
}

TEST_F(CommandLine, LogOptionWinsOverTheDebugDefault) {
    EXPECT_EQ(Parse({"--debug", "--log=x.log"}).data.logPath_, "x.log");
    EXPECT_EQ(Parse({"-l", "y.log"}).data.logPath_, "y.log");
}

TEST_F(CommandLine, ShortNamesOfSeveralLetters) {
    const Parsed p = Parse({"-ni", "-nl", "-nmt", "-v"});
    EXPECT_TRUE(p.data.noidle_);
    EXPECT_TRUE(p.data.noload_);
    EXPECT_TRUE(p.data.nomultithread_);
    EXPECT_TRUE(p.data.verbose_);
    EXPECT_FALSE(p.data.debug_);
    EXPECT_TRUE(p.output.empty()) << p.output;
}

TEST_F(CommandLine, PlacementValuesAreExactAndCaseSensitive) {
    struct Case {
        std::vector<std::string> args;
        std::int32_t buffer;
        std::int32_t mixer;
    };
    const Case cases[] = {
        {{"--sndmix=soft"}, Opts::kPlacementAuto, Opts::kPlacementSoft},
        {{"--sndmix=Soft"}, Opts::kPlacementAuto, Opts::kPlacementAuto},
        {{"--sndmix=hard"}, Opts::kPlacementAuto, Opts::kPlacementHard},
        {{"--sndmix=loud"}, Opts::kPlacementAuto, Opts::kPlacementAuto},
        {{"-sm", "hard", "--sndbuffer", "soft"}, Opts::kPlacementSoft, Opts::kPlacementHard},
        {{"-sb", "hard"}, Opts::kPlacementHard, Opts::kPlacementAuto},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.args);
        EXPECT_EQ(p.data.soundBuffer_, c.buffer) << c.args[0];
        EXPECT_EQ(p.data.soundMixer_, c.mixer) << c.args[0];
    }
}

TEST_F(CommandLine, UnknownSwitchShowsUsageAndKeepsTheRest) {
    const Parsed p = Parse({"-w", "--bogus", "-c"});
    EXPECT_NE(p.output.find("Usage:"), std::string::npos) << p.output;
    EXPECT_NE(p.output.find("windowed mode"), std::string::npos);
    EXPECT_TRUE(p.data.windowed_);
    EXPECT_TRUE(p.data.console_);
}

TEST_F(CommandLine, BareDashesAreRefusedWithoutHarm) {
    const Parsed p = Parse({"--", "-", "---", "-v"});
    EXPECT_TRUE(p.data.verbose_);
}

TEST_F(CommandLine, InputFileParameterIsAcceptedAndIgnored) {
    const Parsed p = Parse({"game.dat", "-i"});
    EXPECT_TRUE(p.data.info_);
    EXPECT_TRUE(p.output.empty()) << p.output;
}

} // namespace
