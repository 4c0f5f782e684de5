// Writes the common textures of the demo game as uncompressed 32-bit DDS files:
//   gfx/common/noise.dds     256x256 white noise (grain of the film look, scratch flicker)
//   gfx/common/clouds.dds    256x256 soft value noise (slow brightness flicker)
//   gfx/common/blurmask.dds  256x256 radial ramp, 0 in the centre to 1 at the edges
//   gfx/common/dirt1.dds     512x128, four 128x128 cells of small dust specks
//   gfx/common/dirt2.dds     256x64, four 64x64 cells of hairs and large specks
//   gfx/common/snow.dds      32x32 soft flake
//   gfx/pano/gallery.dds     DXT1 cube map of 1024x1024 faces: the night seen from the
//                            lighthouse gallery (Gallery.cpp)
//   gfx/pano/garden.dds      DXT1 cube map of 1024x1024 faces: the keeper's garden at night,
//                            the main menu's panorama (Garden.cpp)
// Every picture comes from a fixed seed, so each build writes the same bytes.
//
// Usage: kvtexgen <data folder>
//        kvtexgen cube [--dxt1] <cube.dds> <+x> <-x> <+y> <-y> <+z> <-z>   (Cube.h)

#include "Cube.h"
#include "Dds.h"
#include "Panoramas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// A small deterministic generator (splitmix64).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // [0, 1)
    double Real() { return double(Next() >> 11) * 0x1p-53; }

private:
    std::uint64_t state_;
};

using Dds::Argb;
using Dds::Picture;

Picture Grain() {
    Random random(1);
    Picture p(256, 256);
    for (auto& texel : p.argb) {
        const double v = random.Real();
        texel = Argb(1, v, v, v);
    }
    return p;
}

// Value noise on a wrapping lattice, several octaves.
Picture Clouds() {
    Random random(2);
    constexpr int kLattice = 64;
    std::vector<double> lattice(kLattice * kLattice);
    for (double& v : lattice) {
        v = random.Real();
    }
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    auto value = [&](double x, double y, int cells) {
        const double fx = x * cells, fy = y * cells;
        const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
        const double tx = smooth(fx - x0), ty = smooth(fy - y0);
        auto at = [&](int i, int j) {
            i = ((i % cells) + cells) % cells;
            j = ((j % cells) + cells) % cells;
            return lattice[size_t(j) * kLattice + i];
        };
        const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
        const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
        return top + (bottom - top) * ty;
    };
    Picture p(256, 256);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double u = (x + 0.5) / p.width, v = (y + 0.5) / p.height;
            const double c = 0.5 * value(u, v, 4) + 0.3 * value(u, v, 8) + 0.2 * value(u, v, 16);
            p.At(x, y) = Argb(1, c, c, c);
        }
    }
    return p;
}

Picture BlurMask() {
    Picture p(256, 256);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double dx = (x + 0.5) / p.width * 2 - 1, dy = (y + 0.5) / p.height * 2 - 1;
            const double r = std::clamp(std::sqrt(dx * dx + dy * dy) / std::sqrt(2.0), 0.0, 1.0);
            const double v = r * r * (3 - 2 * r);
            p.At(x, y) = Argb(1, v, v, v);
        }
    }
    return p;
}

// Dark dust with soft alpha, drawn as blobs and thin curved hairs into cells of one row.
void Blob(Picture& p, int left, int size, double cx, double cy, double radius, double darkness) {
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / radius;
            if (d < 1.0) {
                const double alpha = (1 - d * d) * darkness;
                std::uint32_t& texel = p.At(left + x, y);
                const double old = double(texel >> 24) / 255.0;
                texel = Argb(std::max(old, alpha), 0.08, 0.07, 0.06);
            }
        }
    }
}

void Hair(Picture& p, int left, int size, Random& random) {
    double x = size * (0.2 + 0.6 * random.Real()), y = size * (0.2 + 0.6 * random.Real());
    double angle = random.Real() * 6.283185307;
    const int steps = size;
    for (int i = 0; i < steps; ++i) {
        Blob(p, left, size, x, y, 1.3, 0.8);
        angle += (random.Real() - 0.5) * 0.35;
        x = std::clamp(x + std::cos(angle) * 0.6, 2.0, size - 2.0);
        y = std::clamp(y + std::sin(angle) * 0.6, 2.0, size - 2.0);
    }
}

Picture Dirt(int cell, std::uint64_t seed, bool hairs) {
    Random random(seed);
    Picture p(cell * 4, cell, 0x00000000);
    for (int k = 0; k < 4; ++k) {
        const int left = k * cell;
        const int specks = hairs ? 2 : 5 + int(random.Real() * 4);
        for (int s = 0; s < specks; ++s) {
            const double radius = cell * (hairs ? 0.08 : 0.015 + 0.03 * random.Real());
            Blob(p, left, cell, cell * (0.15 + 0.7 * random.Real()),
                 cell * (0.15 + 0.7 * random.Real()), radius, 0.6 + 0.4 * random.Real());
        }
        if (hairs || k % 2 == 1) {
            Hair(p, left, cell, random);
        }
    }
    return p;
}

Picture Snow() {
    Picture p(32, 32);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double d = std::hypot(x + 0.5 - 16, y + 0.5 - 16) / 16;
            const double alpha = d < 1 ? std::pow(1 - d, 1.5) : 0.0;
            p.At(x, y) = Argb(alpha, 1, 1, 1);
        }
    }
    return p;
}

// A panorama as a cube map: its faces one below the other.
Picture Cube(const Night::Faces& faces) {
    Picture p(faces.size, faces.size * 6);
    p.argb = faces.argb;
    return p;
}
} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "cube") {
        return CubeTool::Main(argc - 2, argv + 2);
    }
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: kvtexgen <data folder>\n"
                     "       kvtexgen cube [--dxt1] <cube.dds> <+x> <-x> <+y> <-y> <+z> <-z>\n");
        return 2;
    }
    const std::filesystem::path common = std::filesystem::path(argv[1]) / "gfx" / "common";
    const std::pair<const char*, std::function<Picture()>> textures[] = {
        {"noise.dds", Grain},
        {"clouds.dds", Clouds},
        {"blurmask.dds", BlurMask},
        {"dirt1.dds", [] { return Dirt(128, 3, false); }},
        {"dirt2.dds", [] { return Dirt(64, 4, true); }},
        {"snow.dds", Snow},
    };
    for (const auto& [name, make] : textures) {
        if (!Dds::Write(common / name, Dds::Uncompressed(make()))) {
            return 1;
        }
    }
    const std::filesystem::path pano = std::filesystem::path(argv[1]) / "gfx" / "pano";
    const bool written =
        Dds::Write(pano / "gallery.dds",
                   Dds::Dxt1Cube(Cube(Night::RenderCube(1024, Panoramas::Gallery)))) &&
        Dds::Write(pano / "garden.dds",
                   Dds::Dxt1Cube(Cube(Night::RenderCube(1024, Panoramas::Garden))));
    return written ? 0 : 1;
}
