#pragma once

#include "Platform/Gfx/Image.h"

namespace Gfx {

// Decodes level 0 of a DDS file: uncompressed formats described by bit masks (8, 16, 24 and
// 32 bits per texel, luminance and alpha-only included), DXT1 to DXT5, and cube maps holding all
// six faces. DXT pictures are decoded in software, or with `keepBlocks` kept as their blocks
// when both sizes are powers of two and multiples of 4 (pictures of other sizes are rounded to
// powers of two, which takes their texels). Every size and offset is checked against the data:
// truncated, volume, partial-cube, DX10-header and unknown formats answer kErrInvalidData.
int DecodeDds(const void* data, size_t size, Image& out, bool keepBlocks = false);

} // namespace Gfx
