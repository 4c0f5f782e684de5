#include "Platform/Gfx/PictureSize.h"

#include "Game/Log.h"
#include "Platform/Gfx/Image.h"

#include <algorithm>
#include <atomic>
#include <string>

namespace Gfx {

namespace {

std::atomic<uint32_t> g_largestSide{kMaxImageSize};
std::atomic<uint32_t> g_largestCubeSide{kMaxImageSize};

uint32_t Usable(uint32_t side) {
    return side == 0 ? kMaxImageSize : std::min(side, kMaxImageSize);
}

} // namespace

void SetLargestTexture(uint32_t side, uint32_t cubeSide) {
    g_largestSide = Usable(side);
    g_largestCubeSide = Usable(cubeSide);
}

bool PictureSizeAccepted(uint32_t width, uint32_t height, unsigned faces, size_t fileBytes,
                         uint64_t texelsPerByte) {
    const uint32_t largest = faces == 1 ? g_largestSide.load() : g_largestCubeSide.load();
    // The sides are checked before they are stretched, which could not hold them in 32 bits.
    const bool tooWide = std::max(width, height) > largest ||
                         std::max(NextPowerOfTwo(width), NextPowerOfTwo(height)) > largest;
    const uint64_t texels = uint64_t(width) * height * faces;
    std::string limit;
    if (tooWide) {
        limit = "more than the " + std::to_string(largest) + " texels a side the device takes";
    } else if (uint64_t(NextPowerOfTwo(width)) * NextPowerOfTwo(height) * faces >
               kMaxPictureTexels) {
        limit = "more than the 8192 x 8192 a picture may hold";
    } else if (texels / texelsPerByte > fileBytes) {
        limit = "more than its " + std::to_string(fileBytes) + " bytes can hold";
    } else {
        return true;
    }
    LogFormat("Picture refused: it claims %1% x %2% texels%3%, %4%", width, height,
              faces == 1 ? "" : " on each of its " + std::to_string(faces) + " faces", limit);
    return false;
}

} // namespace Gfx
