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
