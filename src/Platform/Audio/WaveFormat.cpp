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

WaveFormat Fields(std::span<const std::uint8_t> bytes) {
    WaveFormat f;
    f.tag = Read16(bytes, 0);
    f.channels = Read16(bytes, 2);
    f.rate = Read32(bytes, 4);
    f.bytesPerSecond = Read32(bytes, 8);
    f.blockAlign = Read16(bytes, 12);
    f.bits = Read16(bytes, 14);
    return f;
}

} // namespace

std::string WaveFormatProblem(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 16) {
        return "a format record of " + std::to_string(bytes.size()) + " bytes";
    }
    const WaveFormat f = Fields(bytes);
    if (f.tag != FormatPcm) {
        return "format " + std::to_string(f.tag) + ", not PCM";
    }
    if (f.channels != 1 && f.channels != 2) {
        return std::to_string(f.channels) + " channels";
    }
    if (f.bits != 8 && f.bits != 16) {
        return std::to_string(f.bits) + " bits per sample";
    }
    if (f.blockAlign != f.channels * f.bits / 8) {
        return "a block alignment of " + std::to_string(f.blockAlign) + " bytes";
    }
    if (f.rate < 100 || f.rate > 200000) {
        return "a rate of " + std::to_string(f.rate) + " samples per second";
    }
    return {};
}

Result ParseWaveFormat(std::span<const std::uint8_t> bytes, WaveFormat* out) {
    if (out == nullptr) {
        return ErrInvalidParam;
    }
    if (!WaveFormatProblem(bytes).empty()) {
        return ErrBadFormat;
    }
    *out = Fields(bytes);
    return Ok;
}

bool IsOutputFormat(const WaveFormat& f) {
    return f.tag == FormatPcm && f.channels == 2 && f.rate == 44100 && f.bytesPerSecond == 176400 &&
           f.blockAlign == 4 && f.bits == 16;
}

} // namespace Audio
