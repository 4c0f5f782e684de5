// Writes the common textures of the demo game as uncompressed 32-bit DDS files:
//   gfx/common/noise.dds     256x256 white noise (grain of the film look, scratch flicker)
//   gfx/common/clouds.dds    256x256 soft value noise (slow brightness flicker)
//   gfx/common/blurmask.dds  256x256 radial ramp, 0 in the centre to 1 at the edges
//   gfx/common/dirt1.dds     512x128, four 128x128 cells of small dust specks
//   gfx/common/dirt2.dds     256x64, four 64x64 cells of hairs and large specks
//   gfx/common/snow.dds      32x32 soft flake
//   gfx/pano/gallery.dds     cube map of 256x256 faces: the night seen from the lighthouse
//                            gallery, the lamp ahead and the door back into the house behind
// Every picture comes from a fixed seed, so each build writes the same bytes.
//
// Usage: kvtexgen <data folder>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

struct Picture {
    int width, height;
    std::vector<std::uint32_t> argb; // rows top first

    Picture(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), argb(size_t(w) * h, fill) {}
    std::uint32_t& At(int x, int y) { return argb[size_t(y) * width + x]; }
};

std::uint32_t Argb(double a, double r, double g, double b) {
    auto byte = [](double v) {
        return std::uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

void Put32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(char(v >> shift));
    }
}

// DDS header for A8R8G8B8, then the texels. A cube map's picture holds its six faces one
// below the other in the order +x, -x, +y, -y, +z, -z.
std::string Dds(const Picture& picture, bool cube = false) {
    std::string out = "DDS ";
    Put32(out, 124);
    Put32(out, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000); // caps, height, width, pitch, pixel format
    Put32(out, std::uint32_t(cube ? picture.height / 6 : picture.height));
    Put32(out, std::uint32_t(picture.width));
    Put32(out, std::uint32_t(picture.width) * 4);
    Put32(out, 0); // depth
    Put32(out, 0); // mip maps
    for (int i = 0; i < 11; ++i) {
        Put32(out, 0);
    }
    Put32(out, 32);         // pixel format size
    Put32(out, 0x1 | 0x40); // alpha pixels, RGB
    Put32(out, 0);
    Put32(out, 32);
    Put32(out, 0x00FF0000);
    Put32(out, 0x0000FF00);
    Put32(out, 0x000000FF);
    Put32(out, 0xFF000000);
    Put32(out, cube ? 0x1008 : 0x1000); // texture, complex for a cube map
    Put32(out, cube ? 0xFE00 : 0);      // a cube map with all six faces
    for (int i = 0; i < 3; ++i) {
        Put32(out, 0);
    }
    for (std::uint32_t texel : picture.argb) {
        Put32(out, texel);
    }
    return out;
}

Picture Noise() {
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

// The night around the lighthouse gallery: a dark sky with stars over the sea, the lamp's glow
// ahead (heading 0), the gallery's railing all round and the door into the house behind.
Picture Gallery() {
    constexpr int kFace = 256;
    constexpr double kPi = 3.14159265358979;
    Picture p(kFace, kFace * 6);
    Random random(7);
    for (int face = 0; face < 6; ++face) {
        for (int y = 0; y < kFace; ++y) {
            for (int x = 0; x < kFace; ++x) {
                const double u = (x + 0.5) / kFace * 2 - 1, v = (y + 0.5) / kFace * 2 - 1;
                // Each face's direction for its texel, as the cube-map lookup defines them.
                const double d[6][3] = {{1, -v, -u}, {-1, -v, u}, {u, 1, v},
                                        {u, -1, -v}, {u, -v, 1},  {-u, -v, -1}};
                const double* dir = d[face];
                const double length =
                    std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
                const double heading = std::atan2(dir[0], dir[2]);
                const double pitch = std::asin(dir[1] / length);
                double r, g, b;
                if (pitch > 0) {
                    const double t = std::min(pitch / 0.8, 1.0);
                    r = 0.06 - 0.05 * t, g = 0.08 - 0.06 * t, b = 0.2 - 0.13 * t;
                    if (random.Real() < 0.002 * t) {
                        r = g = b = 0.6 + 0.4 * random.Real();
                    }
                } else {
                    const double t = std::min(-pitch / 0.6, 1.0);
                    const double swell = 0.01 * std::sin(heading * 40 + pitch * 300);
                    r = 0.02 + swell, g = 0.05 - 0.02 * t + swell, b = 0.1 - 0.04 * t + swell;
                }
                // The lamp's glow over the sea.
                const double glow =
                    std::exp(-(heading * heading + (pitch - 0.3) * (pitch - 0.3)) / 0.02);
                r += 0.9 * glow, g += 0.8 * glow, b += 0.4 * glow;
                // The railing: a rail and posts below the horizon.
                const bool rail = pitch > -0.32 && pitch < -0.26;
                const bool post = pitch < -0.26 && std::fmod(heading + 4 * kPi, 0.35) < 0.03;
                if (rail || post) {
                    r = 0.12, g = 0.1, b = 0.09;
                }
                // The door into the house, with a warm lit pane.
                const double back = std::abs(std::abs(heading) - kPi);
                if (back < 0.3 && pitch > -0.6 && pitch < 0.35) {
                    const bool pane = back < 0.15 && pitch > 0.05 && pitch < 0.25;
                    r = pane ? 0.7 : 0.2, g = pane ? 0.5 : 0.13, b = pane ? 0.2 : 0.08;
                }
                p.At(x, face * kFace + y) = Argb(1, r, g, b);
            }
        }
    }
    return p;
}

bool Write(const std::filesystem::path& path, const Picture& picture, bool cube = false) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        std::fprintf(stderr, "kvtexgen: cannot create %s: %s\n", path.parent_path().c_str(),
                     error.message().c_str());
        return false;
    }
    const std::string bytes = Dds(picture, cube);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "kvtexgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvtexgen <data folder>\n");
        return 2;
    }
    const std::filesystem::path common = std::filesystem::path(argv[1]) / "gfx" / "common";
    const std::pair<const char*, std::function<Picture()>> textures[] = {
        {"noise.dds", Noise},
        {"clouds.dds", Clouds},
        {"blurmask.dds", BlurMask},
        {"dirt1.dds", [] { return Dirt(128, 3, false); }},
        {"dirt2.dds", [] { return Dirt(64, 4, true); }},
        {"snow.dds", Snow},
    };
    for (const auto& [name, make] : textures) {
        if (!Write(common / name, make())) {
            return 1;
        }
    }
    return Write(std::filesystem::path(argv[1]) / "gfx" / "pano" / "gallery.dds", Gallery(), true)
               ? 0
               : 1;
}
