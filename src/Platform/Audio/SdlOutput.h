#pragma once

#include "Platform/Audio/Results.h"

#include <cstdint>
#include <memory>

namespace Audio {

class Mixer;

// The SDL audio device the mixer renders into: 44100 Hz, 16-bit stereo, SDL converting to
// whatever the hardware takes. When the default driver cannot open a device, one log line
// says so and the device opens on SDL's silent "dummy" driver, which keeps calling the
// mixer at the real-time rate.
class SdlOutput {
public:
    // Opens the device paused; `mixer` must outlive the output. ErrNoDriver when even the
    // silent driver fails (the reason is in SDL_GetError).
    static Result Open(Mixer* mixer, int periodFrames, std::unique_ptr<SdlOutput>* out);
    SdlOutput(const SdlOutput&) = delete;
    SdlOutput& operator=(const SdlOutput&) = delete;
    // Closes the device: the audio thread has ended when this returns.
    ~SdlOutput();

    void Resume();
    // Frames per callback that SDL granted.
    int PeriodFrames() const noexcept { return periodFrames_; }
    // The SDL driver in use ("dummy" after the fallback).
    const char* DriverName() const noexcept;

private:
    SdlOutput(std::uint32_t device, int periodFrames)
        : device_(device), periodFrames_(periodFrames) {}

    std::uint32_t device_;
    int periodFrames_;
};

} // namespace Audio
