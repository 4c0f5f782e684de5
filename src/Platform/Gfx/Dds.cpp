#include "Platform/Gfx/Dds.h"

#include "Platform/Gfx/PictureSize.h"
#include "Platform/Gfx/Types.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace Gfx {

namespace {

constexpr uint32_t kHeaderSize = 128; // magic + 124-byte header
constexpr uint32_t kFlagMipCount = 0x20000;
constexpr uint32_t kPfAlphaPixels = 0x1;
constexpr uint32_t kPfAlpha = 0x2;
constexpr uint32_t kPfFourCC = 0x4;
constexpr uint32_t kPfRgb = 0x40;
constexpr uint32_t kPfLuminance = 0x20000;
constexpr uint32_t kCaps2Cube = 0x200;
constexpr uint32_t kCaps2AllFaces = 0xFC00;
constexpr uint32_t kCaps2Volume = 0x200000;

uint32_t Read32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t Read16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

constexpr uint32_t FourCC(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

enum class Kind { Masks, Dxt1, Dxt3, Dxt5 };

struct PixelFormat {
    Kind kind = Kind::Masks;
    uint32_t bits = 0;
    uint32_t r = 0, g = 0, b = 0, a = 0;
    bool luminance = false;
    bool hasAlpha = false;
};

// One channel extracted by its mask and widened to 8 bits.
uint8_t Channel(uint32_t texel, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const uint32_t max = mask >> shift;
    const uint32_t value = (texel & mask) >> shift;
    return uint8_t((uint64_t(value) * 255 + max / 2) / max);
}

void Color565(uint16_t c, uint8_t out[4]) {
    const uint32_t r = c >> 11, g = (c >> 5) & 0x3F, b = c & 0x1F;
    out[0] = uint8_t((r * 255 + 15) / 31);
    out[1] = uint8_t((g * 255 + 31) / 63);
    out[2] = uint8_t((b * 255 + 15) / 31);
    out[3] = 255;
}

// The 16 texels of a colour block; `threeColour` allows DXT1's transparent mode.
void DecodeColourBlock(const uint8_t* block, bool allowThreeColour, uint8_t texels[16][4]) {
    const uint16_t c0 = Read16(block), c1 = Read16(block + 2);
    uint8_t palette[4][4];
    Color565(c0, palette[0]);
    Color565(c1, palette[1]);
    if (c0 > c1 || !allowThreeColour) {
        for (int ch = 0; ch < 3; ++ch) {
            palette[2][ch] = uint8_t((2 * palette[0][ch] + palette[1][ch] + 1) / 3);
            palette[3][ch] = uint8_t((palette[0][ch] + 2 * palette[1][ch] + 1) / 3);
        }
        palette[2][3] = palette[3][3] = 255;
    } else {
        for (int ch = 0; ch < 3; ++ch) {
            palette[2][ch] = uint8_t((palette[0][ch] + palette[1][ch]) / 2);
            palette[3][ch] = 0;
        }
        palette[2][3] = 255;
        palette[3][3] = 0;
    }
    const uint32_t bits = Read32(block + 4);
    for (int i = 0; i < 16; ++i) {
        std::memcpy(texels[i], palette[(bits >> (2 * i)) & 3], 4);
    }
}

void DecodeAlphaDxt3(const uint8_t* block, uint8_t texels[16][4]) {
    for (int i = 0; i < 16; ++i) {
        const uint32_t nibble = (block[i / 2] >> (4 * (i % 2))) & 0xF;
        texels[i][3] = uint8_t(nibble * 17);
    }
}

void DecodeAlphaDxt5(const uint8_t* block, uint8_t texels[16][4]) {
    const uint32_t a0 = block[0], a1 = block[1];
    uint8_t palette[8] = {uint8_t(a0), uint8_t(a1)};
    if (a0 > a1) {
        for (uint32_t i = 1; i < 7; ++i) {
            palette[i + 1] = uint8_t(((7 - i) * a0 + i * a1 + 3) / 7);
        }
    } else {
        for (uint32_t i = 1; i < 5; ++i) {
            palette[i + 1] = uint8_t(((5 - i) * a0 + i * a1 + 2) / 5);
        }
        palette[6] = 0;
        palette[7] = 255;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) {
        bits |= uint64_t(block[2 + i]) << (8 * i);
    }
    for (int i = 0; i < 16; ++i) {
        texels[i][3] = palette[(bits >> (3 * i)) & 7];
    }
}

uint32_t BlockBytes(Kind kind) {
    return kind == Kind::Dxt1 ? 8 : 16;
}

// Bytes of one mip level, or 0 when it does not fit in 32 bits of size.
uint64_t LevelBytes(const PixelFormat& pf, uint32_t w, uint32_t h) {
    if (pf.kind == Kind::Masks) {
        return uint64_t(w) * h * (pf.bits / 8);
    }
    return uint64_t(std::max(1u, (w + 3) / 4)) * std::max(1u, (h + 3) / 4) * BlockBytes(pf.kind);
}

void DecodeBlocks(const PixelFormat& pf, const uint8_t* src, uint32_t w, uint32_t h, uint8_t* dst) {
    const uint32_t blocksX = std::max(1u, (w + 3) / 4), blocksY = std::max(1u, (h + 3) / 4);
    for (uint32_t by = 0; by < blocksY; ++by) {
        for (uint32_t bx = 0; bx < blocksX; ++bx) {
            uint8_t texels[16][4];
            if (pf.kind == Kind::Dxt1) {
                DecodeColourBlock(src, true, texels);
            } else {
                DecodeColourBlock(src + 8, false, texels);
                if (pf.kind == Kind::Dxt3) {
                    DecodeAlphaDxt3(src, texels);
                } else {
                    DecodeAlphaDxt5(src, texels);
                }
            }
            src += BlockBytes(pf.kind);
            for (uint32_t i = 0; i < 16; ++i) {
                const uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x < w && y < h) {
                    std::memcpy(dst + (size_t(y) * w + x) * 4, texels[i], 4);
                }
            }
        }
    }
}

void DecodeMasks(const PixelFormat& pf, const uint8_t* src, uint32_t w, uint32_t h, uint8_t* dst) {
    const uint32_t bytes = pf.bits / 8;
    for (size_t i = 0, n = size_t(w) * h; i < n; ++i, src += bytes, dst += 4) {
        uint32_t texel = 0;
        for (uint32_t b = 0; b < bytes; ++b) {
            texel |= uint32_t(src[b]) << (8 * b);
        }
        if (pf.luminance) {
            dst[0] = dst[1] = dst[2] = Channel(texel, pf.r);
        } else {
            dst[0] = Channel(texel, pf.r);
            dst[1] = Channel(texel, pf.g);
            dst[2] = Channel(texel, pf.b);
        }
        dst[3] = pf.a != 0 ? Channel(texel, pf.a) : 255;
    }
}

int ReadPixelFormat(const uint8_t* p, PixelFormat& pf) {
    const uint32_t flags = Read32(p + 80);
    if (flags & kPfFourCC) {
        const uint32_t code = Read32(p + 84);
        pf.hasAlpha = true;
        if (code == FourCC("DXT1")) {
            pf.kind = Kind::Dxt1;
        } else if (code == FourCC("DXT2") || code == FourCC("DXT3")) {
            pf.kind = Kind::Dxt3;
        } else if (code == FourCC("DXT4") || code == FourCC("DXT5")) {
            pf.kind = Kind::Dxt5;
        } else {
            return kErrInvalidData; // DX10 headers and every other code
        }
        return kOk;
    }
    pf.bits = Read32(p + 88);
    pf.r = Read32(p + 92);
    pf.g = Read32(p + 96);
    pf.b = Read32(p + 100);
    pf.a = (flags & (kPfAlphaPixels | kPfAlpha)) ? Read32(p + 104) : 0;
    pf.luminance = (flags & kPfLuminance) != 0;
    pf.hasAlpha = pf.a != 0;
    const bool known = (flags & (kPfRgb | kPfLuminance | kPfAlpha)) != 0;
    if (!known || (pf.bits != 8 && pf.bits != 16 && pf.bits != 24 && pf.bits != 32)) {
        return kErrInvalidData;
    }
    if (pf.bits < 32) {
        const uint32_t limit = (1u << pf.bits) - 1;
        if ((pf.r | pf.g | pf.b | pf.a) & ~limit) {
            return kErrInvalidData;
        }
    }
    return kOk;
}

// The blocks of a DXT picture the device can sample as they are; BlockFormat::None when it is to be
// decoded here.
BlockFormat KeptBlocks(const PixelFormat& pf, uint32_t width, uint32_t height) {
    const auto fits = [](uint32_t n) { return n % 4 == 0 && std::has_single_bit(n); };
    if (!fits(width) || !fits(height)) {
        return BlockFormat::None;
    }
    switch (pf.kind) {
    case Kind::Dxt1:
        return BlockFormat::Dxt1;
    case Kind::Dxt3:
        return BlockFormat::Dxt3;
    case Kind::Dxt5:
        return BlockFormat::Dxt5;
    case Kind::Masks:
        break;
    }
    return BlockFormat::None;
}

} // namespace

int DecodeDds(const void* data, size_t size, Image& out, bool keepBlocks) {
    const auto* p = static_cast<const uint8_t*>(data);
    if (size < kHeaderSize || std::memcmp(p, "DDS ", 4) != 0 || Read32(p + 4) != 124 ||
        Read32(p + 76) != 32) {
        return kErrInvalidData;
    }
    const uint32_t flags = Read32(p + 8);
    const uint32_t height = Read32(p + 12), width = Read32(p + 16);
    const uint32_t caps2 = Read32(p + 112);
    if (width == 0 || height == 0 || (caps2 & kCaps2Volume)) {
        return kErrInvalidData;
    }
    PixelFormat pf;
    if (int r = ReadPixelFormat(p, pf); r != kOk) {
        return r;
    }
    unsigned faces = 1;
    if (caps2 & kCaps2Cube) {
        if ((caps2 & kCaps2AllFaces) != kCaps2AllFaces || width != height) {
            return kErrInvalidData;
        }
        faces = 6;
    }
    // Before anything is sized from the header; DXT1 holds 16 texels in 8 bytes. The exact
    // check of the data against the format follows.
    if (!PictureSizeAccepted(width, height, faces, size, 2)) {
        return kErrInvalidData;
    }
    uint32_t levels = (flags & kFlagMipCount) ? Read32(p + 28) : 1;
    levels = std::clamp(levels, 1u, 32u);

    // The bytes of one face with its whole mip chain: faces follow each other.
    uint64_t faceStride = 0;
    for (uint32_t l = 0, w = width, h = height; l < levels; ++l) {
        faceStride += LevelBytes(pf, w, h);
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
    }
    const uint64_t level0 = LevelBytes(pf, width, height);
    // A file may omit the smaller levels of its last face; level 0 of every face must be there.
    if (kHeaderSize + faceStride * (faces - 1) + level0 > size) {
        return kErrInvalidData;
    }
    Image image;
    image.width = width;
    image.height = height;
    image.faces = faces;
    image.hasAlpha = pf.hasAlpha;
    image.blocks = keepBlocks ? KeptBlocks(pf, width, height) : BlockFormat::None;
    image.rgba = Pixels(image.FaceBytes() * faces);
    for (unsigned f = 0; f < faces; ++f) {
        const uint8_t* src = p + kHeaderSize + faceStride * f;
        uint8_t* dst = image.rgba.data() + image.FaceBytes() * f;
        if (image.blocks != BlockFormat::None) {
            std::memcpy(dst, src, image.FaceBytes());
        } else if (pf.kind == Kind::Masks) {
            DecodeMasks(pf, src, width, height, dst);
        } else {
            DecodeBlocks(pf, src, width, height, dst);
        }
    }
    out = std::move(image);
    return kOk;
}

} // namespace Gfx
