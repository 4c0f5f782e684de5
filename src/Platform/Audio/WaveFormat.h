#pragma once

#include "Platform/Audio/Results.h"

#include <cstdint>
#include <span>
#include <string>

namespace Audio {

// The fields of a wave format description (the 18-byte little-endian record that sound
// sources hand over, optionally followed by cbSize extra bytes).
struct WaveFormat {
    std::uint16_t tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bits = 0;
};

inline constexpr std::uint16_t FormatPcm = 1;

// Reads the record; ErrBadFormat when it is shorter than 16 bytes or not a format the mixer
// plays: PCM, 1 or 2 channels, 8 or 16 bits, block alignment channels * bits / 8,
// 100 to 200000 frames per second.
Result ParseWaveFormat(std::span<const std::uint8_t> bytes, WaveFormat* out);

// Why ParseWaveFormat refuses the record, in a few words ("0 channels", "a rate of 0 samples
// per second"); empty when it takes it.
std::string WaveFormatProblem(std::span<const std::uint8_t> bytes);

// The output format: PCM, 2 channels, 44100 Hz, 176400 bytes per second, block 4, 16 bits.
bool IsOutputFormat(const WaveFormat& format);

} // namespace Audio
