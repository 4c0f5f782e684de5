#pragma once

#include "support/GameTree.h"
#include "support/Pictures.h"
#include "support/TestSupport.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace play {

struct Played {
    test::ProcessResult process;
    std::vector<std::string> log;
};

struct PlayOptions {
    // "NAME=value" entries on top of the headless environment.
    std::vector<std::string> environment{};
    std::chrono::seconds timeout{60};
    // Other than 0: the program's writes past that many bytes fail (test::StopOptions).
    std::uint64_t fileSizeLimit = 0;
};

// Plays the game tree in `dir` through the real executable under a session script (written
// to dir/session.txt; its captures land in dir), logging to dir/run.log, until the script
// closes the window (or the timeout passes).
Played Play(const std::filesystem::path& dir, const std::string& script,
            std::vector<std::string> args, const PlayOptions& options = {});

// A session script from a walk-through, one action a line, each led by its frame number:
//     <frame> click <x> <y>   the pointer to that pixel (at frame and frame + 1), the left
//                             button pressed at frame + 2 and released at frame + 3
//     <frame> rclick          the right button pressed and released (frame, frame + 1)
//     <frame> key <name>      the key pressed and released (frame, frame + 1)
//     <frame> <anything else> that session command at that frame (move, capture, close, ...)
// "#" starts a comment. `step` is the clock's milliseconds per frame.
std::string Walk(unsigned step, const std::string& text);

// The expected picture of that name in this folder's expected/.
std::filesystem::path Expected(const std::string& name);

// The environment that has SDL's "disk" audio driver write what the game plays into `file`:
// interleaved 16-bit stereo at 44100 Hz, in real time.
std::vector<std::string> DiskAudio(const std::filesystem::path& file);

// The loudest sample (0 to 1) of each tenth of a second of such a file.
std::vector<float> TenthPeaks(const std::filesystem::path& file);

} // namespace play
