#pragma once

#include "Platform/Audio/Buffer.h"
#include "Platform/Audio/Results.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace Audio {

class Mixer;
class SdlOutput;

// Description of a secondary buffer.
struct BufferDesc {
    std::uint32_t flags = 0;              // Caps::*, placement bits included
    std::uint32_t bytes = 0;              // size of the buffer
    std::span<const std::uint8_t> format; // the wave format record: 18 bytes (+ cbSize)
};

// The sound device: the output (SDL audio, or memory for tests), the primary buffer's
// settings, and the factory of secondary buffers. Output is 44100 Hz 16-bit stereo.
class Device {
public:
    enum class Output {
        Sdl,   // SDL's audio thread calls Render
        Manual // nothing is opened; the caller calls Render
    };
    struct Options {
        Output output = Output::Sdl;
        int periodFrames = 1024; // frames per audio callback, 64 to 4096
    };
    static constexpr int Rate = 44100;
    static constexpr int Channels = 2;
    // The largest secondary buffer, in bytes.
    static constexpr std::uint32_t MaxBufferBytes = 0x0FFFFFFF;

    // Opens the device (paused until PlayPrimary). ErrInvalidParam for a period out of range;
    // ErrNoDriver when SDL cannot open even its silent driver.
    static Result Create(const Options& options, std::unique_ptr<Device>* out);
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    // Closes the output first (its thread has ended), then frees the mixer unless buffers
    // still hold it.
    ~Device();

    // Records the window (an opaque handle) and the level, 1 to 4 (ErrInvalidParam else).
    Result SetCooperativeLevel(void* window, std::uint32_t level);
    void* Window() const noexcept { return window_; }
    std::uint32_t CooperativeLevel() const noexcept { return level_; }

    // The primary buffer: records its flags, which must include Caps::Primary.
    Result CreatePrimaryBuffer(std::uint32_t flags);
    std::uint32_t PrimaryFlags() const noexcept { return primaryFlags_; }
    // Accepts the output format only (ErrBadFormat else); ErrInvalidCall before
    // CreatePrimaryBuffer.
    Result SetPrimaryFormat(std::span<const std::uint8_t> format);
    // Starts the output; flags must hold PlayLooping (ErrInvalidParam else);
    // ErrInvalidCall before CreatePrimaryBuffer.
    Result PlayPrimary(std::uint32_t flags);

    // A secondary buffer: memory silent, position 0, volume 0, stopped. The flags are kept
    // as given; the placement bits change nothing. Caps::Ctrl3D accepts stereo (mixed as
    // mono). ErrBadFormat for a format the mixer does not play (see ParseWaveFormat);
    // ErrInvalidParam for Caps::Primary or a size below one frame or above 0x0FFFFFFF;
    // ErrOutOfMemory.
    Result CreateSoundBuffer(const BufferDesc& desc, std::unique_ptr<Buffer>* out);
    // The same, with the buffer's memory taken over from `data`, which must hold exactly
    // desc.bytes bytes (ErrInvalidParam else): a sound decoded whole costs no second copy.
    Result CreateSoundBuffer(const BufferDesc& desc, std::vector<std::uint8_t> data,
                             std::unique_ptr<Buffer>* out);

    // Mixes `frames` interleaved stereo frames of every playing buffer into `out`. The SDL
    // output calls it; in manual mode the test does, on any one thread at a time.
    void Render(std::int16_t* out, std::size_t frames) noexcept;

    // Without focus the output is silent while everything else runs on.
    void SetFocused(bool focused) noexcept;

    // Test hook: every secondary buffer becomes lost (stopped, memory silenced). With
    // `keepLost` their Restore keeps answering ErrBufferLost until the next call without it.
    void SimulateLoss(bool keepLost = false);

    // "manual", or the SDL driver in use ("dummy" when no device could be opened).
    const char* DriverName() const noexcept;

private:
    Device() = default;
    // Checks the description; `data` empty: silent memory of desc.bytes bytes.
    Result MakeBuffer(const BufferDesc& desc, std::vector<std::uint8_t>* data,
                      std::unique_ptr<Buffer>* out);

    std::shared_ptr<Mixer> mixer_;
    std::unique_ptr<SdlOutput> output_;
    void* window_ = nullptr;
    std::uint32_t level_ = 0;
    std::uint32_t primaryFlags_ = 0;
    bool primaryCreated_ = false;
};

} // namespace Audio
