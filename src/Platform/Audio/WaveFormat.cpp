#include "Platform/Audio/WaveFormat.h"

namespace Audio {

namespace {

std::uint16_t Read16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t Read32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(Read16(b, at)) |
           (static_cast<std::uint32_t>(Read16(b, at + 2)) << 16);
}

} // namespace

Result ParseWaveFormat(std::span<const std::uint8_t> bytes, WaveFormat* out) {
    if (out == nullptr) {
        return ErrInvalidParam;
    }
    if (bytes.size() < 16) {
        return ErrBadFormat;
    }
    WaveFormat f;
    f.tag = Read16(bytes, 0);
    f.channels = Read16(bytes, 2);
    f.rate = Read32(bytes, 4);
    f.bytesPerSecond = Read32(bytes, 8);
    f.blockAlign = Read16(bytes, 12);
    f.bits = Read16(bytes, 14);
    const bool playable = f.tag == FormatPcm && (f.channels == 1 || f.channels == 2) &&
                          (f.bits == 8 || f.bits == 16) &&
                          f.blockAlign == f.channels * f.bits / 8 && f.rate >= 100 &&
                          f.rate <= 200000;
    if (!playable) {
        return ErrBadFormat;
    }
    *out = f;
    return Ok;
}

bool IsOutputFormat(const WaveFormat& f) {
    return f.tag == FormatPcm && f.channels == 2 && f.rate == 44100 && f.bytesPerSecond == 176400 &&
           f.blockAlign == 4 && f.bits == 16;
}

} // namespace Audio
