#pragma once

#include <string>

// A sound of the game definition: its source path and flags.
struct SoundDef {
    static constexpr unsigned int kStream = 1; // played from a streamed buffer
    static constexpr unsigned int kPan = 2;
    static constexpr unsigned int kReverb = 4; // read, never acted on
    static constexpr unsigned int kLoop = 8;

    std::string src_;
    unsigned int flags_ = 0;
};
