#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test {

// A RIFF WAVE file: the "fmt " chunk's bytes as given, then the chunks `after` (raw bytes
// each with its own header), then a "data" chunk declaring `dataSize` bytes and holding
// `data`. riffSize 0 computes the right RIFF size.
std::string WaveBytes(const std::string& fmt, const std::string& data, std::uint32_t dataSize,
                      const std::string& after = std::string(), std::uint32_t riffSize = 0);
// The 16 bytes of a PCM "fmt " chunk with the given fields.
std::string PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                      std::uint16_t blockAlign, std::uint16_t tag = 1);
std::string Le16(std::uint16_t value);
std::string Le32(std::uint32_t value);
// `count` bytes counting up from `first` (mod 256).
std::string Ramp(std::size_t count, std::uint8_t first = 0);

// An Ogg Vorbis stream of `frames` frames of a quiet tone with the given layout; the serial
// number tells the logical bitstreams of a chained file apart. Without header pages of their
// own the file opens with its length but decodes to nothing.
std::string OggBytes(int channels, long rate, long frames, int serial = 1, bool headerPages = true);
// The Ogg file with its last page's granule position, the sample count the file claims, set
// to `samples` (and the page's checksum made to match).
std::string ClaimSamples(std::string ogg, std::uint64_t samples);

} // namespace test
