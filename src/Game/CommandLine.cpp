#include "Game/CommandLine.h"

#include <string>
#include <vector>
#include <wx/cmdline.h>
#include <wx/strconv.h>

namespace Opts {
namespace {

const wxCmdLineEntryDesc kCommandLine[] = {
    {wxCMD_LINE_SWITCH, "w", "windowed", "windowed mode", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "s", "light", "using light shaders version", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "d", "debug", "debug mode", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "c", "console", "enable console", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "v", "verbose", "verbose log messages", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "i", "info", "display additional info", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "a", "area", "display areas", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "ni", "noidle", "disable idle animation", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "nl", "noload", "disable preloading", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "nmt", "nomultithread", "disable multithreading", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_OPTION, "l", "log", "log file", wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, "sb", "sndbuffer", "sound buffer placement", wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, "sm", "sndmix", "sound mixer placement", wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_PARAM, nullptr, nullptr, "input file", wxCMD_LINE_VAL_STRING,
     wxCMD_LINE_PARAM_OPTIONAL},
    {wxCMD_LINE_NONE, nullptr, nullptr, nullptr, wxCMD_LINE_VAL_NONE, 0},
};

// "soft" and "hard" (exactly, case-sensitive) set a placement; anything else leaves it.
void ReadPlacement(const wxCmdLineParser& parser, const char* name, std::int32_t& field) {
    wxString value;
    if (!parser.Found(name, &value)) {
        return;
    }
    if (value == "soft") {
        field = kPlacementSoft;
    } else if (value == "hard") {
        field = kPlacementHard;
    }
}

// Whether a token is a switch or option of the table ("-w", "--log=x", "-sm").
bool IsKnownSwitch(const std::string& token) {
    const std::string::size_type start = token.find_first_not_of('-');
    if (start == std::string::npos) {
        return false;
    }
    const std::string name = token.substr(start, token.find('=', start) - start);
    for (const wxCmdLineEntryDesc& entry : kCommandLine) {
        if ((entry.shortName != nullptr && name == entry.shortName) ||
            (entry.longName != nullptr && name == entry.longName)) {
            return true;
        }
    }
    return false;
}

// The arguments' encoding: the platform's, UTF-8, whatever the locale says. Bytes that are not
// UTF-8 map to private-use characters and back to the same bytes, so a file name comes through
// as it was given.
const wxMBConv& ArgumentEncoding() {
    static const wxMBConvUTF8 encoding(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return encoding;
}

// Hands the arguments to the parser, decoded as above: its own conversion of narrow arguments
// follows the C locale, which turns any letter beyond ASCII into nothing.
void SetArguments(wxCmdLineParser& parser, const std::vector<char*>& args) {
    std::vector<wxString> text;
    for (const char* arg : args) {
        text.emplace_back(arg, ArgumentEncoding());
    }
    std::vector<wxChar*> pointers;
    for (const wxString& arg : text) {
        // The parser copies the arguments; it writes to none of them.
        pointers.push_back(const_cast<wxChar*>(arg.wc_str()));
    }
    pointers.push_back(nullptr);
    parser.SetCmdLine(static_cast<int>(text.size()), pointers.data());
}

} // namespace

void ParseCommandLine(int argc, char** argv, Data& data) {
    wxCmdLineParser parser;
    SetArguments(parser, std::vector<char*>(argv, argv + argc));
    parser.SetDesc(kCommandLine);
    // A bad command line does not stop the game: the parser shows its usage, and since it
    // stops at the first unknown switch, the line is read again without the unknown ones
    // so that every recognised switch takes effect wherever it stands.
    if (parser.Parse(true) != 0) {
        std::vector<char*> known;
        for (int i = 0; i < argc; ++i) {
            const std::string token = argv[i];
            if (i == 0 || token.size() < 2 || token[0] != '-' || IsKnownSwitch(token)) {
                known.push_back(argv[i]);
            }
        }
        SetArguments(parser, known);
        parser.Parse(false);
    }

    data.debug_ = parser.Found("debug");
    data.area_ = parser.Found("area") || data.debug_;
    data.info_ = parser.Found("info") || data.debug_;
    data.noidle_ = parser.Found("noidle") || data.debug_;
    data.noload_ = parser.Found("noload");
    data.nomultithread_ = parser.Found("nomultithread");
    data.windowed_ = parser.Found("windowed") || data.debug_;
    data.light_ = parser.Found("light") || data.debug_;
    ReadPlacement(parser, "sndmix", data.soundMixer_);
    ReadPlacement(parser, "sndbuffer", data.soundBuffer_);
    data.console_ = parser.Found("console") || data.debug_;
    data.verbose_ = parser.Found("verbose");
    wxString log;
    if (parser.Found("log", &log)) {
        data.logPath_ = log.ToStdString(ArgumentEncoding());
    } else if (data.debug_) {
        data.logPath_ = "korvantine.log";
    }
}

} // namespace Opts
