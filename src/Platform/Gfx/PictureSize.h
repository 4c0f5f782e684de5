#pragma once

#include <cstddef>
#include <cstdint>

// The sizes a picture file may claim. Readers ask before they decode anything, because they
// size their buffers from the header: a file of a few bytes that claims a huge picture would
// otherwise take gigabytes before it turned out to hold nothing.
namespace Gfx {

// The most texels a picture may hold once stretched to powers of two, all faces together:
// 8192 x 8192, far beyond the 1024 x 768 screens and the panorama faces the engine draws.
constexpr uint64_t kMaxPictureTexels = uint64_t(8192) * 8192;

// The largest width or height of a 2-D texture and of a cube face that the device takes, told
// by the graphics system when it makes its context; 16384 until then. Any thread.
void SetLargestTexture(uint32_t side, uint32_t cubeSide);

// Whether a picture of `faces` faces (1 or 6) of width x height texels may be decoded from a
// file of `fileBytes` bytes, in a format that describes at most `texelsPerByte` texels with one
// byte. Refused: a side above the device's largest texture, more than kMaxPictureTexels (both
// after the stretch to powers of two), or more texels than the file can describe; the reason
// is logged.
bool PictureSizeAccepted(uint32_t width, uint32_t height, unsigned faces, size_t fileBytes,
                         uint64_t texelsPerByte);

} // namespace Gfx
