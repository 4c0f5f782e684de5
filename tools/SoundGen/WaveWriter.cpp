#include "WaveWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace WaveWriter {

namespace {

void Put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(char(value >> (8 * i)));
    }
}

} // namespace

std::string Encode(int channels, int rate, const std::vector<float>& interleaved) {
    const std::uint32_t dataBytes = std::uint32_t(interleaved.size() * 2);
    const std::uint32_t blockAlign = std::uint32_t(channels) * 2;
    std::string out = "RIFF";
    Put(out, 4 + 8 + 16 + 8 + dataBytes, 4);
    out += "WAVEfmt ";
    Put(out, 16, 4);
    Put(out, 1, 2); // PCM
    Put(out, std::uint32_t(channels), 2);
    Put(out, std::uint32_t(rate), 4);
    Put(out, std::uint32_t(rate) * blockAlign, 4);
    Put(out, blockAlign, 2);
    Put(out, 16, 2);
    out += "data";
    Put(out, dataBytes, 4);
    for (float s : interleaved) {
        const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        Put(out, std::uint32_t(std::int16_t(v)) & 0xFFFF, 2);
    }
    return out;
}

} // namespace WaveWriter
