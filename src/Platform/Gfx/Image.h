#pragma once

#include "Platform/Gfx/Pixels.h"

#include <cstddef>
#include <cstdint>

// Images decoded on the CPU from whole files in memory. Decoding touches no graphics state, so it
// is safe on any thread; textures upload the result later on the user-interface thread.
namespace Gfx {

// How an image's bytes hold its texels: decoded, or as the DXT blocks of its file, kept for the
// graphics device to sample as they are.
enum class BlockFormat { None, Dxt1, Dxt3, Dxt5 };

struct Image {
    uint32_t width = 0, height = 0;
    // 1 for a plain image, 6 for a cube map (faces +X, -X, +Y, -Y, +Z, -Z).
    unsigned faces = 1;
    // False when the source has no alpha channel: it then samples as opaque.
    bool hasAlpha = false;
    BlockFormat blocks = BlockFormat::None;
    // Without blocks: R, G, B, A bytes per texel, rows top first, face after face. With blocks:
    // each face's 4x4 blocks, rows of blocks top first (width and height are multiples of 4).
    Pixels rgba;

    size_t FaceBytes() const {
        if (blocks == BlockFormat::None) {
            return size_t(width) * height * 4;
        }
        return size_t(width / 4) * (height / 4) * (blocks == BlockFormat::Dxt1 ? 8 : 16);
    }
};

// The largest width or height of any texture; a picture file is held to the device's own limit
// and to a texel count as well (PictureSize.h).
constexpr uint32_t kMaxImageSize = 16384;

// Decodes a file by its content: "DDS " files through DecodeDds (`keepBlocks` as there), every
// other format (PNG, JPG, BMP, TGA, PNM) through stb_image. kErrInvalidData when the bytes are
// not a supported image.
int DecodeImage(const void* data, size_t size, Image& out, bool keepBlocks = false);

// Resizes each face to the next powers of two of its width and height (bilinear), as classic
// texture loaders do by default. Sizes already powers of two are left unchanged.
void RoundToPowerOfTwo(Image& image);

uint32_t NextPowerOfTwo(uint32_t value);

// Keeps the top `rows` rows of a plain image; nothing when the image is not taller than that,
// `rows` is 0, or the image keeps blocks and `rows` is not a whole number of them.
void KeepTopRows(Image& image, uint32_t rows);

} // namespace Gfx
