#include "Platform/Gfx/Image.h"

#include "Platform/Gfx/Dds.h"
#include "Platform/Gfx/PictureSize.h"
#include "Platform/Gfx/Types.h"
#include "Platform/Memory/Blocks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
// stb's buffers come from the block allocator, so that its finished picture is taken over as it
// is rather than copied, and its full-size buffers neither fault page by page nor stay with the
// decoding thread's arena once freed.
#define STBI_MALLOC(size) Memory::AllocateBlock(size)
#define STBI_REALLOC(block, size) Memory::ReallocateBlock(block, size)
#define STBI_FREE(block) Memory::FreeBlock(block)
// Only the formats the engine documents are decoded; the others are attack surface only.
#define STBI_NO_GIF
#define STBI_NO_PSD
#define STBI_NO_PIC
#define STBI_NO_HDR
#include <stb_image.h>

namespace Gfx {

namespace {

// stb_image reads the three header numbers of a binary PGM or PPM file into an int with no
// overflow check, which is undefined behaviour on a long run of digits, and its conversion of
// 16-bit samples (a maximum value above 255) to the 8 bits asked for reads past its buffer.
// The header is scanned the way stb scans it (white space and '#' comments between the
// numbers), and a number of ten digits or more, or a maximum value above 255, refuses the file
// before stb sees it; no picture of the game is that large or that deep anyway.
bool PnmHeaderIsSafe(const uint8_t* bytes, size_t size) {
    if (size < 2 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '6')) {
        return true;
    }
    const auto space = [](uint8_t c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    size_t i = 2;
    for (int number = 0; number < 3; ++number) {
        for (;;) {
            while (i < size && space(bytes[i])) {
                ++i;
            }
            if (i >= size || bytes[i] != '#') {
                break;
            }
            while (i < size && bytes[i] != '\n' && bytes[i] != '\r') {
                ++i;
            }
        }
        size_t digits = 0;
        uint32_t value = 0;
        for (; i < size && bytes[i] >= '0' && bytes[i] <= '9' && digits <= 9; ++i) {
            value = value * 10 + uint32_t(bytes[i] - '0');
            ++digits;
        }
        if (digits > 9 || (number == 2 && value > 255)) {
            return false;
        }
    }
    return true;
}

// stb_image builds a JPEG Huffman table from the 16 code counts of a "define Huffman table"
// segment without checking that they add up to at most 256 symbols, and writes past the
// table when they do (a damaged or hostile file); it even does so while it only reads the
// header for the picture's size. The markers are walked as stb walks them: fill bytes before
// a marker and bytes between markers are passed over, a segment is skipped by its length,
// and a table that reads past its segment or the file reads on as stb's does (zeros past the
// end). A table of more than 256 symbols refuses the file before stb sees it.
bool JpegTablesAreSafe(const uint8_t* bytes, size_t size) {
    const auto at = [&](size_t i) { return i < size ? bytes[i] : uint8_t(0); };
    size_t i = 0;
    if (at(i) != 0xFF) {
        return true;
    }
    while (at(i) == 0xFF && i < size) {
        ++i;
    }
    if (at(i) != 0xD8) {
        return true; // not a JPEG file to stb
    }
    ++i;
    while (i < size) {
        if (bytes[i] != 0xFF) {
            ++i;
            continue;
        }
        while (i < size && bytes[i] == 0xFF) {
            ++i;
        }
        const uint8_t marker = at(i++);
        // A stuffed zero in scan data, or a marker without a length.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {
            continue;
        }
        const size_t length = (size_t(at(i)) << 8) | at(i + 1);
        if (marker == 0xC4) {
            long left = long(length) - 2;
            size_t table = i + 2;
            while (left > 0) {
                size_t symbols = 0;
                for (size_t k = 1; k <= 16; ++k) {
                    symbols += at(table + k);
                }
                if (symbols > 256) {
                    return false;
                }
                left -= long(17 + symbols);
                table += 17 + symbols;
            }
        }
        i += std::max<size_t>(length, 2);
    }
    return true;
}

// The most texels one byte of a file can describe, by the format its first bytes name: PNG
// 1-bit texels inflated at most 1032 times; JPEG one bit at least for each 8 x 8 block's DC
// code; BMP 1-bit texels, uncompressed (stb reads no RLE); PNM a byte a sample; TGA, the rest,
// run-length packets of 128 one-byte texels in two bytes.
uint64_t TexelsPerByte(const uint8_t* bytes, size_t size) {
    const auto starts = [&](const char* magic, size_t length) {
        return size >= length && std::memcmp(bytes, magic, length) == 0;
    };
    if (starts("\x89PNG", 4)) {
        return 8 * 1032;
    }
    if (starts("\xFF\xD8", 2)) {
        return 8 * 64;
    }
    if (starts("BM", 2)) {
        return 8;
    }
    if (starts("P5", 2) || starts("P6", 2)) {
        return 1;
    }
    return 64;
}

int DecodeWithStb(const void* data, size_t size, Image& out) {
    if (size > size_t(std::numeric_limits<int>::max())) {
        return kErrInvalidData;
    }
    const auto* bytes = static_cast<const stbi_uc*>(data);
    if (!PnmHeaderIsSafe(bytes, size) || !JpegTablesAreSafe(bytes, size)) {
        return kErrInvalidData;
    }
    int w = 0, h = 0, channels = 0;
    // stb sizes its buffers from the header: the size it claims is checked before decoding.
    if (!stbi_info_from_memory(bytes, int(size), &w, &h, &channels) || w <= 0 || h <= 0 ||
        !PictureSizeAccepted(uint32_t(w), uint32_t(h), 1, size, TexelsPerByte(bytes, size))) {
        return kErrInvalidData;
    }
    stbi_uc* pixels = stbi_load_from_memory(bytes, int(size), &w, &h, &channels, 4);
    if (pixels == nullptr) {
        return kErrInvalidData;
    }
    Image image;
    image.width = uint32_t(w);
    image.height = uint32_t(h);
    image.hasAlpha = channels == 2 || channels == 4;
    if (Memory::BlockSize(pixels) < image.FaceBytes()) {
        stbi_image_free(pixels);
        return kErrInvalidData;
    }
    image.rgba = Pixels::Adopt(pixels, image.FaceBytes());
    out = std::move(image);
    return kOk;
}

// Bilinear sample of one face at continuous texel coordinates, edges clamped.
void Sample(const uint8_t* face, uint32_t w, uint32_t h, float x, float y, uint8_t* out) {
    x = std::clamp(x, 0.0f, float(w - 1));
    y = std::clamp(y, 0.0f, float(h - 1));
    const uint32_t x0 = uint32_t(x), y0 = uint32_t(y);
    const uint32_t x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
    const float fx = x - float(x0), fy = y - float(y0);
    for (int c = 0; c < 4; ++c) {
        auto at = [&](uint32_t xx, uint32_t yy) {
            return float(face[(size_t(yy) * w + xx) * 4 + c]);
        };
        const float top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * fx;
        const float bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * fx;
        out[c] = uint8_t(std::lround(top + (bottom - top) * fy));
    }
}

} // namespace

uint32_t NextPowerOfTwo(uint32_t value) {
    uint32_t p = 1;
    while (p < value) {
        p <<= 1;
    }
    return p;
}

int DecodeImage(const void* data, size_t size, Image& out, bool keepBlocks) {
    if (data == nullptr || size == 0) {
        return kErrInvalidData;
    }
    if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0) {
        return DecodeDds(data, size, out, keepBlocks);
    }
    return DecodeWithStb(data, size, out);
}

void RoundToPowerOfTwo(Image& image) {
    const uint32_t w = NextPowerOfTwo(image.width), h = NextPowerOfTwo(image.height);
    if (w == image.width && h == image.height) {
        return;
    }
    Pixels resized(size_t(w) * h * 4 * image.faces);
    const float sx = float(image.width) / float(w), sy = float(image.height) / float(h);
    for (unsigned f = 0; f < image.faces; ++f) {
        const uint8_t* src = image.rgba.data() + image.FaceBytes() * f;
        uint8_t* dst = resized.data() + size_t(w) * h * 4 * f;
        for (uint32_t y = 0; y < h; ++y) {
            for (uint32_t x = 0; x < w; ++x) {
                Sample(src, image.width, image.height, (float(x) + 0.5f) * sx - 0.5f,
                       (float(y) + 0.5f) * sy - 0.5f, dst + (size_t(y) * w + x) * 4);
            }
        }
    }
    image.width = w;
    image.height = h;
    image.rgba = std::move(resized);
}

void KeepTopRows(Image& image, uint32_t rows) {
    if (image.faces != 1 || rows == 0 || rows >= image.height ||
        (image.blocks != BlockFormat::None && rows % 4 != 0)) {
        return;
    }
    // A full-size picture's block gives the pages of the rows left out back at once.
    image.height = rows;
    image.rgba.Shrink(image.FaceBytes());
}

} // namespace Gfx
