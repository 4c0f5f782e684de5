#include "Platform/Gfx/PngFile.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace Gfx {

bool WritePng(const std::string& path, uint32_t width, uint32_t height,
              const std::vector<uint32_t>& argb) {
    const size_t count = size_t(width) * height;
    if (width == 0 || height == 0 || argb.size() != count) {
        return false;
    }
    std::vector<uint8_t> rgb(count * 3);
    for (size_t i = 0; i < count; ++i) {
        rgb[i * 3] = uint8_t(argb[i] >> 16);
        rgb[i * 3 + 1] = uint8_t(argb[i] >> 8);
        rgb[i * 3 + 2] = uint8_t(argb[i]);
    }
    return stbi_write_png(path.c_str(), int(width), int(height), 3, rgb.data(), int(width) * 3) !=
           0;
}

} // namespace Gfx
