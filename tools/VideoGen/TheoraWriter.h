#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Encodes generated 4:2:0 frames into an Ogg Theora file held in memory, with libtheora's
// encoder. Used by the demo's video generator and by the tests and benchmarks, which need
// small videos of known content.
namespace TheoraWriter {

struct Planes {
    std::uint32_t width = 0, height = 0; // luma size; chroma is half of each
    std::vector<std::uint8_t> y, u, v;
};

struct Params {
    std::uint32_t width = 64, height = 48; // multiples of 16
    std::uint32_t fpsNumerator = 25, fpsDenominator = 1;
    int quality = 48; // 0 to 63
    int frames = 1;
    // Adds a second logical stream before the video's, opened by a packet that is no Theora
    // header, with pages of its own between the video's (as a sound track would be).
    bool otherStream = false;
};

// Fills the planes of frame `index` (already sized).
using Painter = std::function<void(int index, Planes& planes)>;

// The bytes of the file. Throws std::runtime_error when the encoder refuses.
std::string Encode(const Params& params, const Painter& paint);

// Changes packets of a file's first logical stream: `patch` gets each packet's number (from
// 0) and bytes and may change them; the packets are paged anew, one page each, so the pages'
// checksums hold. Other streams are dropped.
using PacketPatch = std::function<void(std::int64_t number, std::string& bytes)>;
std::string RewritePackets(const std::string& file, const PacketPatch& patch);

} // namespace TheoraWriter
