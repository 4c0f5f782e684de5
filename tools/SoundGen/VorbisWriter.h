#pragma once

#include <string>
#include <vector>

// Encodes float samples into an Ogg Vorbis file held in memory, with libvorbis' encoder. Used
// by the demo's sound generator and by the sound tests, which need small files of known
// layout.
namespace VorbisWriter {

struct Params {
    int channels = 1;
    long rate = 44100;
    float quality = 0.3f; // -0.1 to 1, libvorbis' variable bit-rate quality
    int serial = 1;       // the logical bitstream's serial number
    // The three header packets on pages of their own, as every player expects; without them
    // the headers share the first page with sound, and the file opens but decodes to nothing.
    bool headerPages = true;
};

// `interleaved` holds frames of `channels` samples in [-1, 1]. Throws std::runtime_error when
// the encoder refuses the layout.
std::string Encode(const Params& params, const std::vector<float>& interleaved);

} // namespace VorbisWriter
