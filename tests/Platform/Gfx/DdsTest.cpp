#include "Platform/Gfx/Dds.h"

#include "GfxTestSupport.h"
#include "Platform/Gfx/Image.h"

#include <algorithm>
#include <cstring>
#include <stb_image_write.h>
#include <vector>

namespace {

using namespace Gfx;
using gfxtest::MakeDds;

constexpr uint32_t kRgb = 0x40, kAlphaPixels = 0x1, kAlphaOnly = 0x2, kLum = 0x20000, kFourCC = 0x4;

uint32_t Code(const char* s) {
    uint32_t v = 0;
    std::memcpy(&v, s, 4);
    return v;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s.push_back(char(v));
    }
    return s;
}

uint32_t TexelAt(const Image& image, size_t index) {
    const uint8_t* p = image.rgba.data() + index * 4;
    return uint32_t(p[3]) << 24 | p[0] << 16 | p[1] << 8 | p[2];
}

struct MaskCase {
    const char* name;
    uint32_t flags, bits, r, g, b, a;
    std::string texel;
    uint32_t expected; // 0xAARRGGBB
    bool hasAlpha;
};

TEST(GfxDds, DecodesUncompressedFormatsByMask) {
    const MaskCase cases[] = {
        {"A8R8G8B8", kRgb | kAlphaPixels, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u,
         Bytes({0x33, 0x22, 0x11, 0x80}), 0x80112233, true},
        {"A8B8G8R8", kRgb | kAlphaPixels, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u,
         Bytes({0x11, 0x22, 0x33, 0x44}), 0x44112233, true},
        {"R8G8B8", kRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0, Bytes({0x33, 0x22, 0x11}), 0xFF112233,
         false},
        {"R5G6B5", kRgb, 16, 0xF800, 0x07E0, 0x1F, 0, Bytes({0x1F, 0xF8}), 0xFFFF00FF, false},
        {"A1R5G5B5", kRgb | kAlphaPixels, 16, 0x7C00, 0x03E0, 0x1F, 0x8000, Bytes({0xE0, 0x03}),
         0x0000FF00, true},
        {"L8", kLum, 8, 0xFF, 0, 0, 0, Bytes({0x40}), 0xFF404040, false},
        {"A8", kAlphaOnly, 8, 0, 0, 0, 0xFF, Bytes({0x99}), 0x99000000, true},
    };
    for (const MaskCase& c : cases) {
        const std::string file = MakeDds(1, 1, c.flags, 0, c.bits, c.r, c.g, c.b, c.a, c.texel);
        Image image;
        ASSERT_EQ(DecodeDds(file.data(), file.size(), image), kOk) << c.name;
        EXPECT_EQ(TexelAt(image, 0), c.expected) << c.name;
        EXPECT_EQ(image.hasAlpha, c.hasAlpha) << c.name;
    }
}

TEST(GfxDds, DecodesDxtBlocks) {
    // DXT1, c0 = red > c1 = blue: indices 0,1,2,3 across the first row.
    const std::string dxt1 = Bytes({0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0});
    // DXT1, c0 <= c1: index 3 is transparent black.
    const std::string dxt1Alpha = Bytes({0x1F, 0x00, 0x00, 0xF8, 0xE4, 0, 0, 0});
    // DXT3: explicit alpha 0xF, 0x0, 0x8, 0x1 in the first row, colour all c0 = white.
    const std::string dxt3 =
        Bytes({0x0F, 0x18, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x00, 0x00, 0, 0, 0, 0});
    // DXT5: a0 = 255 > a1 = 0: codes 0, 1, 7 (the sixth step), 2 in the first row.
    const std::string dxt5 =
        Bytes({0xFF, 0x00, 0xC8, 0x05, 0, 0, 0, 0, 0xFF, 0xFF, 0x00, 0x00, 0, 0, 0, 0});
    struct {
        const char* code;
        std::string block;
        uint32_t row[4];
    } cases[] = {
        {"DXT1", dxt1, {0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA}},
        {"DXT1", dxt1Alpha, {0xFF0000FF, 0xFFFF0000, 0xFF7F007F, 0x00000000}},
        {"DXT3", dxt3, {0xFFFFFFFF, 0x00FFFFFF, 0x88FFFFFF, 0x11FFFFFF}},
        {"DXT5", dxt5, {0xFFFFFFFF, 0x00FFFFFF, 0x24FFFFFF, 0xDBFFFFFF}},
    };
    for (const auto& c : cases) {
        const std::string file = MakeDds(4, 4, kFourCC, Code(c.code), 0, 0, 0, 0, 0, c.block);
        Image image;
        ASSERT_EQ(DecodeDds(file.data(), file.size(), image), kOk) << c.code;
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(TexelAt(image, x), c.row[x]) << c.code << " texel " << x;
        }
        EXPECT_TRUE(image.hasAlpha);
    }
}

// Asked to keep them, DXT pictures of sizes that are powers of two and multiples of 4 keep their
// level-0 blocks as the file holds them, face after face; the top rows of such a picture are
// kept in whole rows of blocks only.
TEST(GfxDds, KeepsTheBlocksOfDxtPicturesTheDeviceSamples) {
    struct Case {
        const char* code;
        uint32_t size, caps2;
        BlockFormat kept;
    };
    const Case cases[] = {
        {"DXT1", 8, 0, BlockFormat::Dxt1},      {"DXT3", 8, 0, BlockFormat::Dxt3},
        {"DXT5", 4, 0xFE00, BlockFormat::Dxt5}, {"DXT1", 2, 0, BlockFormat::None},
        {"DXT5", 12, 0, BlockFormat::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + std::to_string(c.size));
        const uint32_t blockBytes = std::string(c.code) == "DXT1" ? 8 : 16;
        const unsigned faces = c.caps2 != 0 ? 6 : 1;
        const uint32_t blocks = std::max(1u, c.size / 4) * std::max(1u, c.size / 4) * faces;
        std::string payload(blocks * blockBytes, '\0');
        for (size_t i = 0; i < payload.size(); ++i) {
            payload[i] = char(i * 37 + 11);
        }
        // A level below level 0 that is not to be kept.
        const std::string file = MakeDds(c.size, c.size, kFourCC, Code(c.code), 0, 0, 0, 0, 0,
                                         payload + std::string(blockBytes, '\x55'), c.caps2);
        Image image;
        ASSERT_EQ(DecodeDds(file.data(), file.size(), image, true), kOk);
        EXPECT_EQ(image.blocks, c.kept);
        if (c.kept == BlockFormat::None) {
            EXPECT_EQ(image.rgba.size(), size_t(c.size) * c.size * 4 * faces);
            continue;
        }
        ASSERT_EQ(image.rgba.size(), payload.size());
        EXPECT_EQ(std::memcmp(image.rgba.data(), payload.data(), payload.size()), 0);
    }

    const std::string big = MakeDds(1024, 1024, kFourCC, Code("DXT1"), 0, 0, 0, 0, 0,
                                    std::string(256 * 256 * 8, '\x21'));
    for (const auto& [rows, kept] : {std::pair{768u, 768u}, {770u, 1024u}}) {
        Image image;
        ASSERT_EQ(DecodeDds(big.data(), big.size(), image, true), kOk);
        KeepTopRows(image, rows);
        EXPECT_EQ(image.height, kept);
        EXPECT_EQ(image.rgba.size(), size_t(256) * (kept / 4) * 8);
    }
}

TEST(GfxDds, ReadsCubeFacesInOrderPastTheirMipChains) {
    // Six 2x2 faces with two levels each (2x2 + 1x1): face f is filled with f + 1.
    std::string payload;
    for (int f = 0; f < 6; ++f) {
        payload += std::string(4 * 4, char(f + 1)) + std::string(4, '\x7F');
    }
    const std::string file = MakeDds(2, 2, kRgb | kAlphaPixels, 0, 32, 0xFF0000, 0xFF00, 0xFF,
                                     0xFF000000u, payload, 0xFE00, 2);
    Image image;
    ASSERT_EQ(DecodeDds(file.data(), file.size(), image), kOk);
    ASSERT_EQ(image.faces, 6u);
    for (unsigned f = 0; f < 6; ++f) {
        EXPECT_EQ(image.rgba[image.FaceBytes() * f], f + 1) << f;
        EXPECT_EQ(image.rgba[image.FaceBytes() * f + 15], f + 1) << f;
    }
}

TEST(GfxDds, RejectsMalformedFiles) {
    const std::string texel = Bytes({1, 2, 3, 4});
    const std::string good = MakeDds(1, 1, kRgb, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0, texel);
    std::vector<std::pair<const char*, std::string>> bad = {
        {"truncated header", good.substr(0, 100)},
        {"truncated texels", MakeDds(2, 2, kRgb, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0, texel)},
        {"zero width", MakeDds(0, 1, kRgb, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0, texel)},
        {"huge", MakeDds(1u << 30, 1u << 30, kRgb, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0, texel)},
        {"DX10", MakeDds(1, 1, kFourCC, Code("DX10"), 0, 0, 0, 0, 0, std::string(64, '\0'))},
        {"volume", MakeDds(1, 1, kRgb, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0, texel, 0x200000)},
        {"partial cube", MakeDds(1, 1, kRgb, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0,
                                 std::string(24, '\0'), 0x200 | 0x400)},
        {"odd bit count", MakeDds(1, 1, kRgb, 0, 12, 0xF00, 0xF0, 0xF, 0, texel)},
        {"mask beyond bits", MakeDds(1, 1, kRgb, 0, 16, 0xFF0000, 0xFF00, 0xFF, 0, texel)},
        {"DXT1 short", MakeDds(8, 8, kFourCC, Code("DXT1"), 0, 0, 0, 0, 0, std::string(24, 0))},
    };
    for (const auto& [name, file] : bad) {
        Image image;
        EXPECT_EQ(DecodeDds(file.data(), file.size(), image), kErrInvalidData) << name;
    }
}

void AppendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
}

// Every format stb reads is recognised by its content: a 3x2 picture whose top-left pixel is
// opaque orange.
TEST(GfxImage, DecodesEveryStbFormatByContent) {
    std::vector<uint8_t> rgba(3 * 2 * 4, 0xFF);
    rgba[1] = 0x80;
    rgba[2] = 0x00;
    for (const char* format : {"png", "bmp", "tga", "jpg"}) {
        SCOPED_TRACE(format);
        std::string file;
        const std::string f = format;
        const int written =
            f == "png"   ? stbi_write_png_to_func(AppendBytes, &file, 3, 2, 4, rgba.data(), 12)
            : f == "bmp" ? stbi_write_bmp_to_func(AppendBytes, &file, 3, 2, 4, rgba.data())
            : f == "tga" ? stbi_write_tga_to_func(AppendBytes, &file, 3, 2, 4, rgba.data())
                         : stbi_write_jpg_to_func(AppendBytes, &file, 3, 2, 4, rgba.data(), 100);
        ASSERT_NE(written, 0);
        Image image;
        ASSERT_EQ(DecodeImage(file.data(), file.size(), image), kOk);
        EXPECT_EQ(image.width * 10 + image.height, 32u);
        const int tolerance = f == "jpg" ? 40 : 0;
        EXPECT_NEAR(image.rgba[0], 0xFF, tolerance);
        EXPECT_NEAR(image.rgba[1], 0x80, tolerance);
        EXPECT_NEAR(image.rgba[2], 0x00, tolerance);
        EXPECT_EQ(image.rgba[3], 0xFF);
    }
    Image image;
    // Not a picture; binary PPMs whose header numbers would overflow stb's int, or whose
    // 16-bit samples stb's conversion reads past, and a JPEG Huffman table of more than 256
    // symbols that stb writes past its table (all found by the image fuzz target); a small
    // PGM that is fine.
    for (const std::string& junk :
         {std::string("\x89PNG but not really"), std::string("P555655555555P5556##"),
          std::string("P6 #c\n 3 2 99999999999 "), std::string("P6 36 2 366\"2"),
          std::string("P6\n1 1\n65535\n") + std::string(6, '\x7f'),
          std::string("\xFF\xFF\xD8\xFF\xC4\x04\x01\x00\xFF\xFF\xD8\xFF\x00\xFF\xFB\xC4\xFF",
                      17)}) {
        EXPECT_EQ(DecodeImage(junk.data(), junk.size(), image), kErrInvalidData) << junk;
    }
    const std::string pgm = std::string("P5\n# grey\n3 2\n255\n") + std::string(6, '\x80');
    ASSERT_EQ(DecodeImage(pgm.data(), pgm.size(), image), kOk);
    EXPECT_EQ(image.rgba[0], 0x80);
    EXPECT_EQ(DecodeImage(nullptr, 0, image), kErrInvalidData);
    EXPECT_EQ(NextPowerOfTwo(1025), 2048u);
}

// A full-size picture with no alpha channel, which stb widens to four bytes a texel in a block
// of its own: the texels come through, and keeping its top rows keeps theirs.
TEST(GfxImage, DecodesAndTrimsAFullSizePicture) {
    constexpr int kSide = 1024;
    std::vector<uint8_t> rgb(size_t(kSide) * kSide * 3);
    for (size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = uint8_t(i * 7 / 3);
    }
    std::string file;
    ASSERT_NE(stbi_write_png_to_func(AppendBytes, &file, kSide, kSide, 3, rgb.data(), kSide * 3),
              0);
    Image image;
    ASSERT_EQ(DecodeImage(file.data(), file.size(), image), kOk);
    ASSERT_EQ(image.rgba.size(), size_t(kSide) * kSide * 4);
    EXPECT_FALSE(image.hasAlpha);
    const auto texel = [&](const Image& from, size_t i) {
        return std::vector<uint8_t>(from.rgba.data() + i * 4, from.rgba.data() + i * 4 + 4);
    };
    for (const size_t i : {size_t(0), size_t(767) * kSide + 5, size_t(kSide) * kSide - 1}) {
        EXPECT_EQ(texel(image, i),
                  std::vector<uint8_t>({rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2], 0xFF}))
            << i;
    }
    const Image copy = image;
    KeepTopRows(image, 768);
    EXPECT_EQ(image.height, 768u);
    EXPECT_EQ(image.rgba.size(), size_t(kSide) * 768 * 4);
    EXPECT_EQ(texel(image, 767 * kSide + 1023), texel(copy, 767 * kSide + 1023));
    EXPECT_EQ(copy.rgba.size(), size_t(kSide) * kSide * 4);
}

} // namespace
