#pragma once

#include <cstdint>
#include <string>

namespace Opts {

// Sound buffer and mixer placement values of the command line.
enum Placement : std::int32_t { kPlacementAuto = 0, kPlacementSoft = 1, kPlacementHard = 2 };

// The one settings record of the process: the command line (for one run), the
// player's options from the options file, and the sway flag that scenes change.
// Readers fetch it through opts() and read the fields directly.
struct Data {
    Data();

    // The options file "korvantine.cfg" in the "Bin" folder: Lua assignments of the eleven
    // player options, `opts_video_light` to `opts_mouse_sensitivity`.

    // The file's text, filled with the record's present values.
    std::string Format() const;
    // Lua "opts_write": replaces the options file by Format(). The file is replaced only
    // once the new text is complete; a failure is logged.
    void Write() const;
    // Lua "opts_update": copies the eleven `opts_*` globals of the game's interpreter into
    // the record. Booleans by Lua's truth test; numbers as Lua converts them, 0 for any
    // other value, NaN as 0 and values beyond float's range saturated; the intro truncated.
    void Update();
    // The start-up read: sets every option global to the record's value, runs the options
    // file isolated (as a save's variables run: an environment holding only the eleven
    // values, no library, no engine function, the sandbox's budgets) and takes the eleven
    // values it leaves; nothing else the file does is kept. A file that does not run (a Lua
    // error, a precompiled chunk, a budget spent) is logged with Lua's message and every
    // default is kept; an option set to a value it cannot take (a flag that is no boolean, a
    // volume, brightness or sensitivity that is no number from 0 to 1, an intro that is no number
    // within the int range) is logged and keeps its default. The file itself is left as it
    // is until the next Write. Without a file the defaults are written as a new file; a file
    // that is there but cannot be read is logged and left alone.
    void Init();

    bool debug_;
    bool noidle_;
    bool nomove_;
    bool swayAllowed_;
    bool info_;
    bool area_;
    bool noload_;
    bool nomultithread_;
    std::int32_t intro_;
    float hintDelay_; // milliseconds
    std::string logPath_;
    bool console_;
    bool verbose_;
    bool windowed_;
    bool light_;
    bool vsync_;
    float brightness_;
    float soundVolume_;
    float musicVolume_;
    std::int32_t soundBuffer_; // Placement
    std::int32_t soundMixer_;  // Placement
    bool mouseInvert_;
    bool mouseLeftHanded_;
    float mouseSensitivity_;
};

} // namespace Opts

// The process-wide record; created first by the start-up routine, deleted last.
extern Opts::Data* g_opts;

// The record; only valid between its creation and its deletion.
Opts::Data& opts();
