#include "SoundFiles.h"

#include "SoundGen/VorbisWriter.h"

#include <cmath>

namespace test {

std::string Le16(std::uint16_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

std::string Le32(std::uint32_t value) {
    return Le16(static_cast<std::uint16_t>(value)) + Le16(static_cast<std::uint16_t>(value >> 16));
}

std::string Ramp(std::size_t count, std::uint8_t first) {
    std::string out(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<char>(first + i);
    }
    return out;
}

std::string PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                      std::uint16_t blockAlign, std::uint16_t tag) {
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * blockAlign) + Le16(blockAlign) +
           Le16(bits);
}

std::string WaveBytes(const std::string& fmt, const std::string& data, std::uint32_t dataSize,
                      const std::string& after, std::uint32_t riffSize) {
    std::string body = "WAVEfmt " + Le32(static_cast<std::uint32_t>(fmt.size())) + fmt;
    if (fmt.size() % 2 != 0) {
        body += '\0';
    }
    body += after + "data" + Le32(dataSize) + data;
    return "RIFF" + Le32(riffSize != 0 ? riffSize : static_cast<std::uint32_t>(body.size())) + body;
}

std::string OggBytes(int channels, long rate, long frames, int serial, bool headerPages) {
    std::vector<float> samples(static_cast<std::size_t>(frames * channels));
    for (long i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            samples[static_cast<std::size_t>(i * channels + c)] =
                0.25f * std::sin(static_cast<float>(i) * 0.05f * static_cast<float>(c + 1));
        }
    }
    VorbisWriter::Params params;
    params.channels = channels;
    params.rate = rate;
    params.quality = 0.1f;
    params.serial = serial;
    params.headerPages = headerPages;
    return VorbisWriter::Encode(params, samples);
}

std::string ClaimSamples(std::string ogg, std::uint64_t samples) {
    // A page: "OggS", version, type, granule position (8), serial (4), sequence (4), checksum
    // (4), segment count, the segment sizes, then the data.
    std::size_t last = 0;
    for (std::size_t at = 0; at + 27 <= ogg.size();) {
        last = at;
        const auto segments = static_cast<std::uint8_t>(ogg[at + 26]);
        std::size_t size = 27 + segments;
        for (std::size_t i = 0; i < segments; ++i) {
            size += static_cast<std::uint8_t>(ogg[at + 27 + i]);
        }
        at += size;
    }
    for (int i = 0; i < 8; ++i) {
        ogg[last + 6 + i] = static_cast<char>(samples >> (8 * i));
    }
    ogg.replace(last + 22, 4, Le32(0));
    std::uint32_t crc = 0; // Ogg's CRC-32: polynomial 0x04C11DB7, not reflected
    for (std::size_t i = last; i < ogg.size(); ++i) {
        crc ^= static_cast<std::uint32_t>(static_cast<std::uint8_t>(ogg[i])) << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
    }
    ogg.replace(last + 22, 4, Le32(crc));
    return ogg;
}

} // namespace test
