#include "Game/CommandLine.h"

#include <wx/cmdline.h>

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

} // namespace

void ParseCommandLine(int argc, char** argv, Data& data) {
    wxCmdLineParser parser(argc, argv);
    parser.SetDesc(kCommandLine);
    // The result is deliberately not acted on: on a bad command line the parser has shown
    // its usage and the game runs with what it recognised.
    parser.Parse(true);

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
        data.logPath_ = log.ToStdString();
    } else if (data.debug_) {
        data.logPath_ = "korvantine.log";
    }
}

} // namespace Opts
