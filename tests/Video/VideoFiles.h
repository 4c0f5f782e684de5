#pragma once

#include "VideoGen/TheoraWriter.h"

#include <cstdint>
#include <functional>
#include <string>

namespace videotest {

// The colour of every texel of a generated frame.
struct Yuv {
    std::uint8_t y, u, v;
};

// A video of `params.frames` frames, frame i of one colour `colour(i)`.
std::string FlatVideo(TheoraWriter::Params params, const std::function<Yuv(int)>& colour);

// The same file with its first (identification) packet changed by `patch`, paged anew.
std::string PatchFirstPacket(const std::string& file,
                             const std::function<void(std::string& packet)>& patch);

// Writes a big-endian number of `bytes` bytes at `at`.
void PutBigEndian(std::string& packet, std::size_t at, int bytes, std::uint32_t value);

} // namespace videotest
