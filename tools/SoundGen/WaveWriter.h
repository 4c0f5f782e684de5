#pragma once

#include <string>
#include <vector>

// Writes float samples as a RIFF WAVE file of 16-bit PCM held in memory.
namespace WaveWriter {

// `interleaved` holds frames of `channels` samples in [-1, 1]; louder samples are clipped.
std::string Encode(int channels, int rate, const std::vector<float>& interleaved);

} // namespace WaveWriter
