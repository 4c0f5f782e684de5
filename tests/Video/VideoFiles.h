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

} // namespace videotest
