// The whole life of the process, top to bottom: the settings record and the command
// line, the process-wide objects created in order inside one protected block, the
// message loop, and the teardown in reverse order after a normal end and after an error.

#include "Game/CommandLine.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Game/Startup.h"

#include <iostream>
#include <wx/init.h>
#include <wx/msgout.h>

int main(int argc, char** argv) {
    // The wxWidgets base library: command line, file system, streams, XML.
    wxInitializer wxLibrary(argc, argv);
    if (!wxLibrary.IsOk()) {
        std::cerr << "Error: Cannot initialize the wxWidgets library\n";
        return 1;
    }
    // The parser's usage and error texts go to standard error.
    delete wxMessageOutput::Set(new wxMessageOutputStderr);

    if (g_opts == nullptr) {
        g_opts = new Opts::Data;
    }
    Opts::ParseCommandLine(argc, argv, *g_opts);

    std::string error;
    const int exitCode = RunProtected(
        [&] {
            // The first line opens the log file: the log path is final by now.
            LogWrite("Initializing DirectX Object");
            LogWrite("Initializing game data");
            LogWrite("Initializing effects");
            LogWrite("Initializing Heliodrome engine");
            LogWrite("Initializing options");
            for (const std::string& line : PlacementLines(*g_opts)) {
                LogWrite(line);
            }
            LogWrite("Start message processing");
            return 0;
        },
        error);

    if (!error.empty()) {
        std::cerr << "Error: " << error << "\n";
        LogWrite("Error: " + error);
    }

    delete g_opts;
    g_opts = nullptr;
    return exitCode;
}
