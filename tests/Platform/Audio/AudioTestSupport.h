#pragma once

#include "Platform/Audio/Device.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace test {

// The 18-byte wave format record of PCM with the given layout.
std::vector<std::uint8_t> Wfx(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits,
                              std::uint16_t tag = 1);

// A device in manual mode with 1024-frame periods.
std::unique_ptr<Audio::Device> ManualDevice();

// A buffer on `device`; fails the test when creation fails.
std::unique_ptr<Audio::Buffer> MakeBuffer(Audio::Device& device, std::uint32_t flags,
                                          std::uint32_t bytes, std::uint32_t rate = 44100,
                                          std::uint16_t channels = 2, std::uint16_t bits = 16);

// Writes `bytes` at `offset` through Lock and Unlock (the range must not wrap).
void Write(Audio::Buffer& buffer, std::uint32_t offset, const std::vector<std::uint8_t>& bytes);

// 16-bit samples as little-endian bytes.
std::vector<std::uint8_t> Samples(const std::vector<std::int16_t>& samples);

// Renders `frames` stereo frames.
std::vector<std::int16_t> Render(Audio::Device& device, std::size_t frames);

} // namespace test

namespace test {

// A streamed ring as the game's streamed sounds use it: eight 32 KiB blocks of 44100 Hz
// 16-bit stereo, a notification on the last byte of each block, all on one event; every
// block behind the write cursor is refilled from an endless source whose frame k holds
// (SourceLeft(k), SourceRight(k)).
class RingStream {
public:
    static constexpr std::uint32_t Block = 32768;
    static constexpr std::uint32_t Blocks = 8;

    explicit RingStream(Audio::Device& device);

    Audio::Buffer& Buffer() { return *buffer_; }
    Audio::Event& Event() { return *event_; }
    // Polls the event without waiting; when set, resets it and refills the blocks the write
    // cursor has left.
    void Update();

    // How many source frames have been written into the ring so far.
    std::uint64_t FilledFrames() const { return sourceFrame_; }

    static std::int16_t SourceLeft(std::uint64_t frame);
    static std::int16_t SourceRight(std::uint64_t frame);

private:
    void FillBlock(std::uint32_t block);

    std::unique_ptr<Audio::Buffer> buffer_;
    std::shared_ptr<Audio::Event> event_;
    std::uint32_t next_ = 0;
    std::atomic<std::uint64_t> sourceFrame_{0};
};

} // namespace test
