#pragma once

#include "Platform/Gfx/Image.h"

namespace Gfx {

// Decodes level 0 of a DDS file: uncompressed formats described by bit masks (8, 16, 24 and
// 32 bits per texel, luminance and alpha-only included), DXT1 to DXT5 decoded in software, and
// cube maps holding all six faces. Every size and offset is checked against the data:
// truncated, volume, partial-cube, DX10-header and unknown formats answer kErrInvalidData.
int DecodeDds(const void* data, size_t size, Image& out);

} // namespace Gfx
