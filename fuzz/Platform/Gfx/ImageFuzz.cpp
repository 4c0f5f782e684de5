// Texture files from the data: DDS headers and every format stb_image reads.
#include "Platform/Gfx/Image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Gfx::Image image;
    if (Gfx::DecodeImage(data, size, image) == 0 && image.width <= 1024 && image.height <= 1024) {
        Gfx::RoundToPowerOfTwo(image);
    }
    return 0;
}
