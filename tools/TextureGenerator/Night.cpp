#include "Night.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace Night {

V3 Direction(double heading, double pitch) {
    return {std::sin(heading) * std::cos(pitch), std::sin(pitch),
            std::cos(heading) * std::cos(pitch)};
}

double Heading(const V3& d) {
    return std::atan2(d.x, d.z);
}

double Pitch(const V3& d) {
    return std::asin(std::clamp(d.y / d.Length(), -1.0, 1.0));
}

double Angle(const V3& a, const V3& b) {
    return std::acos(std::clamp(a.Dot(b), -1.0, 1.0));
}

double Turn(double from, double to) {
    return std::remainder(to - from, 2 * kPi);
}

double Smooth(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

Color Add(const Color& a, const Color& b, float k) {
    return {a.r + b.r * k, a.g + b.g * k, a.b + b.b * k, 1.0f};
}

float Fbm(double x, double y, int seed, int octaves) {
    float sum = 0.0f, scale = 0.5f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += scale * Noise(float(x), float(y), seed + o);
        total += scale;
        x *= 2.03, y *= 2.03, scale *= 0.5f;
    }
    return sum / total;
}

Color Sky(const V3& d, const Moon& moon, int seed) {
    const double p = Pitch(d);
    const double t = std::clamp(p / 1.2, 0.0, 1.0);
    Color c = Mix(Rgb(44, 50, 92), Rgb(6, 9, 28), float(std::sqrt(t)));
    // Stars: one chance per cell of a grid through space, fewer near the horizon's haze.
    const double cell = 0.006;
    const V3 s = d * (1.0 / cell);
    const int cx = int(std::floor(s.x)), cy = int(std::floor(s.y)), cz = int(std::floor(s.z));
    const float chance = Hash(cx + 7919 * cz, cy, seed);
    if (chance > 0.975f && p > 0.05) {
        const V3 star = {cx + Hash(cx, cy, seed + 1 + cz), cy + Hash(cx, cy, seed + 2 + cz),
                         cz + Hash(cx, cy, seed + 3 + cz)};
        const V3 off = s - star;
        const double r2 = off.Dot(off) - std::pow(off.Dot(d), 2.0);
        const float bright = float((chance - 0.975f) / 0.025f) * float(Smooth(0.05, 0.3, p));
        c = Add(c, Rgb(255, 250, 230), bright * float(std::exp(-r2 * 12.0)));
    }
    // Thin clouds drifting in bands over a flat sky, silvered near the moon.
    const V3 toMoon = Direction(moon.heading, moon.pitch);
    const double a = Angle(d, toMoon);
    const double over = 1.0 / (d.y + 0.25);
    const float cloud =
        float(Smooth(0.5, 0.75, Fbm(d.x * over * 1.6, d.z * over * 0.5, seed + 10))) *
        float(Smooth(0.02, 0.15, p) * (1.0 - Smooth(0.6, 0.9, p)));
    const float lit = float(0.25 + 1.2 * std::exp(-a / 0.35));
    c = Mix(c, Rgb(int(70 * lit), int(74 * lit), int(100 * lit)), cloud * 0.6f);
    // The moon, its halo and a faint grey sea of its own.
    c = Add(c, Rgb(110, 120, 170), float(0.45 * std::exp(-a / 0.1) + 0.15 * std::exp(-a / 0.5)));
    if (a < moon.radius * 1.3) {
        const double edge = Smooth(moon.radius * 1.05, moon.radius * 0.95, a);
        const float mare = Fbm(d.x * 80.0, d.y * 80.0 + d.z * 40.0, seed + 20, 3);
        const Color disc =
            Mix(Rgb(255, 250, 225), Rgb(200, 196, 175), float(Smooth(0.45, 0.65, mare)));
        c = Mix(c, disc, float(edge));
    }
    return c;
}

Color Sea(const V3& d, double height, const Moon& moon, int seed) {
    const double down = -d.y;
    const double distance = height / std::max(down, 1e-4);
    const double x = d.x * distance, z = d.z * distance;
    // Waves in perspective: their detail fades out with distance before it can alias.
    const double fade = 1.0 / (1.0 + distance / 60.0);
    const float waves = Fbm(x * 0.08 + z * 0.02, z * 0.25, seed + 30, 3);
    const double p = Pitch(d);
    Color c = Mix(Rgb(30, 38, 72), Rgb(6, 12, 26), float(Smooth(0.0, 0.35, -p)));
    c = Scale(c, float(1.0 + (waves - 0.5) * 0.9 * fade));
    // The moon's path: a glitter of wave crests under it, wider close by.
    const double dh = Turn(moon.heading, Heading(d));
    const double width = 0.025 + 0.45 * down;
    const double path = std::exp(-(dh * dh) / (width * width));
    const double crest = std::pow(std::clamp(double(waves) * 1.4 - 0.3, 0.0, 1.0), 3.0);
    c = Add(c, Rgb(230, 228, 200), float(path * (0.15 + 1.3 * crest) * (0.4 + 0.6 * fade)));
    // A haze along the horizon.
    c = Mix(c, Rgb(40, 46, 82), float(std::exp(-down / 0.012) * 0.7));
    return c;
}

namespace {

// The direction of texel (u, v) in [-1, 1] of a face, as a cube-map lookup defines it.
V3 FaceDirection(int face, double u, double v) {
    switch (face) {
    case 0:
        return V3{1, -v, -u}.Unit();
    case 1:
        return V3{-1, -v, u}.Unit();
    case 2:
        return V3{u, 1, v}.Unit();
    case 3:
        return V3{u, -1, -v}.Unit();
    case 4:
        return V3{u, -v, 1}.Unit();
    default:
        return V3{-u, -v, -1}.Unit();
    }
}

// Texels whose brightness differs from a neighbour's by more than this are supersampled.
constexpr float kEdgeContrast = 0.03f;

// Runs `work` for every row from 0 to rows - 1 on all the machine's cores.
void EachRow(int rows, const std::function<void(int)>& work) {
    std::atomic<int> next{0};
    std::vector<std::thread> threads;
    const unsigned count = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < count; ++i) {
        threads.emplace_back([&] {
            for (int row = next++; row < rows; row = next++) {
                work(row);
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
}

std::uint32_t Pack(const Color& c) {
    const auto byte = [](float v) {
        return std::uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    return 0xFF000000u | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

} // namespace

Faces RenderCube(int size, const Shader& shade) {
    Faces out{size, std::vector<std::uint32_t>(std::size_t(size) * size * 6)};
    const auto ray = [&](int face, double x, double y) {
        return shade(FaceDirection(face, x / size * 2 - 1, y / size * 2 - 1));
    };
    const auto luma = [](const Color& c) { return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b; };
    // One ray through each texel's centre first; then four rays through the texels on an
    // edge, where a neighbour on the same face differs.
    std::vector<Color> centre(out.argb.size());
    const int rows = size * 6;
    EachRow(rows, [&](int row) {
        for (int x = 0; x < size; ++x) {
            centre[std::size_t(row) * size + x] = ray(row / size, x + 0.5, row % size + 0.5);
        }
    });
    EachRow(rows, [&](int row) {
        const int face = row / size, y = row % size;
        for (int x = 0; x < size; ++x) {
            const std::size_t at = std::size_t(row) * size + x;
            Color c = centre[at];
            float contrast = 0.0f;
            const int around[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : around) {
                if (n[0] >= 0 && n[1] >= 0 && n[0] < size && n[1] < size) {
                    const Color& other = centre[(std::size_t(face) * size + n[1]) * size + n[0]];
                    contrast = std::max(contrast, std::fabs(luma(c) - luma(other)));
                }
            }
            if (contrast > kEdgeContrast) {
                c = {0, 0, 0, 1};
                for (const double sy : {0.25, 0.75}) {
                    for (const double sx : {0.25, 0.75}) {
                        c = Add(c, ray(face, x + sx, y + sy), 0.25f);
                    }
                }
            }
            out.argb[at] = Pack(c);
        }
    });
    return out;
}

} // namespace Night
