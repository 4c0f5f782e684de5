#pragma once

#include "Platform/Gfx/Pixels.h"

#include <cstddef>
#include <cstdint>

// Images decoded on the CPU from whole files in memory. Decoding touches no graphics state, so it
// is safe on any thread; textures upload the result later on the user-interface thread.
namespace Gfx {

struct Image {
    uint32_t width = 0, height = 0;
    // 1 for a plain image, 6 for a cube map (faces +X, -X, +Y, -Y, +Z, -Z).
    unsigned faces = 1;
    // False when the source has no alpha channel: it then samples as opaque.
    bool hasAlpha = false;
    // R, G, B, A bytes per texel, rows top first, face after face.
    Pixels rgba;

    size_t FaceBytes() const { return size_t(width) * height * 4; }
};

// The largest width or height of any texture; a picture file is held to the device's own limit
// and to a texel count as well (PictureSize.h).
constexpr uint32_t kMaxImageSize = 16384;

// Decodes a file by its content: "DDS " files through DecodeDds, every other format
// (PNG, JPG, BMP, TGA, PNM) through stb_image. kErrInvalidData when the bytes are not a
// supported image.
int DecodeImage(const void* data, size_t size, Image& out);

// Resizes each face to the next powers of two of its width and height (bilinear), as classic
// texture loaders do by default. Sizes already powers of two are left unchanged.
void RoundToPowerOfTwo(Image& image);

uint32_t NextPowerOfTwo(uint32_t value);

// Keeps the top `rows` rows of a plain image; nothing when the image is not taller than that,
// or `rows` is 0.
void KeepTopRows(Image& image, uint32_t rows);

} // namespace Gfx
