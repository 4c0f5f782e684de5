#include "Dds.h"

#include "FileSystem/AtomicFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Dds {

namespace {

void Put32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(char(v >> shift));
    }
}

// The 124-byte header after the magic. `pitchOrSize` is the row pitch of an uncompressed
// picture or the byte size of a compressed level.
std::string Header(int width, int height, bool cube, bool dxt1, std::uint32_t pitchOrSize) {
    std::string out = "DDS ";
    Put32(out, 124);
    // Caps, height, width, pixel format; then pitch (uncompressed) or linear size (DXT1).
    Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | (dxt1 ? 0x80000 : 0x8));
    Put32(out, std::uint32_t(height));
    Put32(out, std::uint32_t(width));
    Put32(out, pitchOrSize);
    Put32(out, 0); // depth
    Put32(out, 0); // mip maps
    for (int i = 0; i < 11; ++i) {
        Put32(out, 0);
    }
    Put32(out, 32); // pixel format size
    if (dxt1) {
        Put32(out, 0x4); // four-character code
        out += "DXT1";
        for (int i = 0; i < 5; ++i) {
            Put32(out, 0);
        }
    } else {
        Put32(out, 0x1 | 0x40); // alpha pixels, RGB
        Put32(out, 0);
        Put32(out, 32);
        Put32(out, 0x00FF0000);
        Put32(out, 0x0000FF00);
        Put32(out, 0x000000FF);
        Put32(out, 0xFF000000);
    }
    Put32(out, cube ? 0x1008 : 0x1000); // texture, complex for a cube map
    Put32(out, cube ? 0xFE00 : 0);      // a cube map with all six faces
    for (int i = 0; i < 3; ++i) {
        Put32(out, 0);
    }
    return out;
}

struct Rgb {
    float r, g, b;
};

std::uint16_t To565(const Rgb& c) {
    const auto q = [](float v, int levels) {
        return std::uint16_t(std::lround(std::clamp(v, 0.0f, 1.0f) * float(levels)));
    };
    return std::uint16_t(q(c.r, 31) << 11 | q(c.g, 63) << 5 | q(c.b, 31));
}

Rgb From565(std::uint16_t v) {
    return {float(v >> 11) / 31.0f, float((v >> 5) & 63) / 63.0f, float(v & 31) / 31.0f};
}

float Distance(const Rgb& a, const Rgb& b) {
    const float dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr * 0.3f + dg * dg * 0.59f + db * db * 0.11f;
}

// One block: the end colours from the texels' extremes along the axis of the block's
// largest spread, then the nearest of the four palette colours for each texel.
void EncodeBlock(const Rgb (&texels)[16], std::string& out) {
    Rgb lo = texels[0], hi = texels[0];
    for (const Rgb& t : texels) {
        lo = {std::min(lo.r, t.r), std::min(lo.g, t.g), std::min(lo.b, t.b)};
        hi = {std::max(hi.r, t.r), std::max(hi.g, t.g), std::max(hi.b, t.b)};
    }
    // Project on the diagonal of the box, its direction taken from how the texels vary.
    const Rgb mean = {(lo.r + hi.r) / 2, (lo.g + hi.g) / 2, (lo.b + hi.b) / 2};
    float cov[3] = {0, 0, 0}; // correlations of green and blue with red and of blue with green
    for (const Rgb& t : texels) {
        cov[0] += (t.r - mean.r) * (t.g - mean.g);
        cov[1] += (t.r - mean.r) * (t.b - mean.b);
        cov[2] += (t.g - mean.g) * (t.b - mean.b);
    }
    Rgb a = lo, b = hi;
    if (cov[0] < 0) {
        std::swap(a.g, b.g);
    }
    if (cov[1] < 0) {
        std::swap(a.b, b.b);
    }
    std::uint16_t c0 = To565(b), c1 = To565(a);
    if (c0 < c1) {
        std::swap(c0, c1);
    }
    const Rgb e0 = From565(c0), e1 = From565(c1);
    Rgb palette[4] = {e0, e1, e0, e1};
    std::uint32_t indices = 0;
    if (c0 != c1) {
        // Four-colour mode: two thirds and one third between the ends.
        palette[2] = {(2 * e0.r + e1.r) / 3, (2 * e0.g + e1.g) / 3, (2 * e0.b + e1.b) / 3};
        palette[3] = {(e0.r + 2 * e1.r) / 3, (e0.g + 2 * e1.g) / 3, (e0.b + 2 * e1.b) / 3};
        for (int i = 0; i < 16; ++i) {
            int best = 0;
            for (int p = 1; p < 4; ++p) {
                if (Distance(texels[i], palette[p]) < Distance(texels[i], palette[best])) {
                    best = p;
                }
            }
            indices |= std::uint32_t(best) << (2 * i);
        }
    }
    out.push_back(char(c0));
    out.push_back(char(c0 >> 8));
    out.push_back(char(c1));
    out.push_back(char(c1 >> 8));
    Put32(out, indices);
}

} // namespace

std::uint32_t Argb(double a, double r, double g, double b) {
    auto byte = [](double v) {
        return std::uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

std::string Uncompressed(const Picture& picture, bool cube) {
    std::string out = Header(picture.width, cube ? picture.height / 6 : picture.height, cube, false,
                             std::uint32_t(picture.width) * 4);
    for (std::uint32_t texel : picture.argb) {
        Put32(out, texel);
    }
    return out;
}

std::string Dxt1Cube(const Picture& faces) {
    const int size = faces.width;
    std::string out = Header(size, size, true, true, std::uint32_t(size / 4 * size / 4 * 8));
    // A 4x4 ordered dither of half a 5-bit step.
    const float bayer[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
    Rgb block[16];
    for (int by = 0; by < faces.height; by += 4) {
        for (int bx = 0; bx < size; bx += 4) {
            for (int i = 0; i < 16; ++i) {
                const std::uint32_t t = faces.At(bx + i % 4, by + i / 4);
                const float d = (bayer[i] / 16.0f - 0.5f) / 31.0f;
                block[i] = {float((t >> 16) & 255) / 255.0f + d,
                            float((t >> 8) & 255) / 255.0f + d * 0.5f, float(t & 255) / 255.0f + d};
            }
            EncodeBlock(block, out);
        }
    }
    return out;
}

bool Write(const std::filesystem::path& path, const std::string& bytes) {
    // A bare file name is written in the working folder, which is there already.
    const std::filesystem::path folder = path.parent_path();
    std::error_code error;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
    }
    if (error) {
        std::fprintf(stderr, "kvtexgen: cannot create %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return false;
    }
    // Written beside the target and renamed over it once complete, so a failed write leaves
    // no partial file, and an earlier file of that name stays as it was.
    if (!AtomicFile::WriteWhole(path.string(), bytes)) {
        std::fprintf(stderr, "kvtexgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace Dds
