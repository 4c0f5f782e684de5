// The whole life of the process, top to bottom: the settings record and the command
// line, the process-wide objects created in order inside one protected block, the
// message loop, and the teardown in reverse order after a normal end and after an error.

#include "Effects/Effects.h"
#include "Game/CommandLine.h"
#include "Game/DirectX.h"
#include "Game/Engine.h"
#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Platform/Window/CCustomMessageLoop.h"

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

    // The message loop of this thread: the window and the input devices take their events
    // from it, the frame is drawn in its idle turns. It outlives everything created below.
    CCustomMessageLoop loop;

    std::string error;
    const int exitCode = RunProtected(
        [&] {
            // The first line opens the log file: the log path is final by now.
            LogWrite("Initializing DirectX Object");
            ScopedGlobal<DirectX> directX(g_dx);

            LogWrite("Initializing game data");
            ScopedGlobal<Game> gameObject(g_game);

            LogWrite("Initializing effects");
            ScopedGlobal<Effects> effectsSet(g_effects);

            LogWrite("Initializing Heliodrome engine");
            // The loop's idle handler: one frame per idle turn. It loads the game definition.
            Engine engine;

            LogWrite("Initializing options");
            g_opts->Init();
            for (const std::string& line : PlacementLines(*g_opts)) {
                LogWrite(line);
            }

            // Runs until the window is closed (or SIGTERM closes it) or the game quits.
            LogWrite("Start message processing");
            return loop.Run();
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
