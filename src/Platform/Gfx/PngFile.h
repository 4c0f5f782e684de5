#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Gfx {

// Writes width x height texels given as 0xAARRGGBB, top row first, to an 8-bit RGB PNG file
// (the alpha is dropped: the frames are opaque). False when the texels do not fill the size
// or the file cannot be written.
bool WritePng(const std::string& path, uint32_t width, uint32_t height,
              const std::vector<uint32_t>& argb);

} // namespace Gfx
