#include "Game/CommandLine.h"

#include "Game/Log.h"
#include "support/TestSupport.h"

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

// The switches a parse turned on, the sound placements and the log path, as one line.
std::string Summary(const Opts::Data& d) {
    const std::pair<const char*, bool> flags[] = {
        {"debug", d.debug_},     {"windowed", d.windowed_}, {"light", d.light_},
        {"console", d.console_}, {"info", d.info_},         {"area", d.area_},
        {"noidle", d.noidle_},   {"noload", d.noload_},     {"nomultithread", d.nomultithread_},
        {"verbose", d.verbose_}};
    std::string s;
    for (const auto& [name, on] : flags) {
        s += on ? std::string(name) + " " : "";
    }
    return s + "buffer " + std::to_string(d.soundBuffer_) + " mixer " +
           std::to_string(d.soundMixer_) + " log '" + d.logPath_ + "'";
}

class CommandLine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    // The settings a command line of these arguments gives.
    static Opts::Data Parse(std::vector<std::string> args) {
        args.insert(args.begin(), "korvantine");
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        Opts::Data data;
        Opts::ParseCommandLine(static_cast<int>(args.size()), argv.data(), data);
        return data;
    }
};

TEST_F(CommandLine, SwitchesSetTheirSettings) {
    struct Case {
        std::vector<std::string> args;
        std::string summary;
        bool usage;
    };
    const Case cases[] = {
        {{}, "buffer 0 mixer 0 log ''", false},
        {{"--debug"},
         "debug windowed light console info area noidle buffer 0 mixer 0 log 'korvantine.log'",
         false},
        {{"--debug", "--log=x.log"},
         "debug windowed light console info area noidle buffer 0 mixer 0 log 'x.log'",
         false},
        {{"-l", "y.log"}, "buffer 0 mixer 0 log 'y.log'", false},
        {{"-ni", "-nl", "-nmt", "-v"},
         "noidle noload nomultithread verbose buffer 0 mixer 0 log ''",
         false},
        // Placement values are exact and case-sensitive; buffer and mixer are not swapped.
        {{"--sndmix=soft"}, "buffer 0 mixer 1 log ''", false},
        {{"--sndmix=Soft"}, "buffer 0 mixer 0 log ''", false},
        {{"--sndmix=loud"}, "buffer 0 mixer 0 log ''", false},
        {{"-sm", "hard", "--sndbuffer", "soft"}, "buffer 1 mixer 2 log ''", false},
        {{"-sb", "hard"}, "buffer 2 mixer 0 log ''", false},
        // An unknown switch shows the usage and the others still count.
        {{"-w", "--bogus", "-c"}, "windowed console buffer 0 mixer 0 log ''", true},
        {{"--", "-", "---", "-v"}, "verbose buffer 0 mixer 0 log ''", true},
        {{"game.dat", "-i"}, "info buffer 0 mixer 0 log ''", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        auto* capture = new CapturedOutput;
        delete wxMessageOutput::Set(capture);
        EXPECT_EQ(Summary(Parse(c.args)), c.summary);
        if (c.usage) {
            EXPECT_NE(capture->text_.find("Usage:"), std::string::npos) << capture->text_;
        } else {
            EXPECT_EQ(capture->text_, "");
        }
    }
}

// The log path is taken byte for byte as given, UTF-8 or not, whatever the locale: the log is
// written there. One that cannot be opened is reported once on standard error.
TEST_F(CommandLine, TheLogPathTakesAnyLetter) {
    test::TempDir dir;
    for (const std::string name : {"journ\xC3\xA9"
                                   "e.log",
                                   "caf\xE9.log"}) {
        const std::string path = (dir / name).string();
        const Opts::Data data = Parse({"--log=" + path});
        EXPECT_EQ(data.logPath_, path);
        Log log(data.logPath_);
        log.Write("first");
        EXPECT_EQ(test::ReadFile(dir / name), "first\n");
    }
    const std::string missing = (dir / "absent" /
                                 "journ\xC3\xA9"
                                 "e.log")
                                    .string();
    testing::internal::CaptureStderr();
    Log log(Parse({"-l", missing}).logPath_);
    log.Write("kept");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Cannot open log file '" + missing + "'; logging to memory only\n");
}

} // namespace
