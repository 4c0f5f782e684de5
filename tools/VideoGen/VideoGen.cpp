// Generates the demo game's video: a few seconds of drawn frames (a dusk sky over a dark
// hill line, a sun setting behind it) encoded as Ogg Theora into <data>/video/intro.ogg.

#include "TheoraWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

constexpr std::uint32_t kWidth = 640;
constexpr std::uint32_t kHeight = 480;
constexpr int kFps = 25;
constexpr int kSeconds = 4;

std::uint8_t Byte(double value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
}

struct Rgb {
    double r = 0.0, g = 0.0, b = 0.0; // 0 to 1
};

Rgb Mix(const Rgb& a, const Rgb& b, double k) {
    return {a.r + (b.r - a.r) * k, a.g + (b.g - a.g) * k, a.b + (b.b - a.b) * k};
}

// The hill line: the sky above it, the hills below.
double Ground(double col) {
    return 330.0 + 25.0 * std::sin(col * 0.02) + 10.0 * std::sin(col * 0.07);
}

// The picture at a point at time t (0 to 1), painted back to front: the dusk sky, warmest
// at the horizon and darkening as the sun sinks, the sun, and the hills over both, so the
// sun goes down behind them.
Rgb Colour(double t, double col, double row) {
    const double ground = Ground(col);
    if (row > ground) {
        return {0.07, 0.05, 0.08};
    }
    const double sunX = 200.0 + 240.0 * t;
    const double sunY = 140.0 + 240.0 * t;
    const double dx = col - sunX, dy = row - sunY;
    if (dx * dx + dy * dy < 40.0 * 40.0) {
        return {1.0, 0.9 - 0.2 * t, 0.6 - 0.25 * t};
    }
    const double dusk = 1.0 - 0.45 * t;
    const Rgb high{0.34 * dusk, 0.2 * dusk, 0.26 * dusk};
    const Rgb low{0.92 * dusk, 0.5 * dusk, 0.22 * dusk};
    return Mix(high, low, std::pow(std::clamp(row / 365.0, 0.0, 1.0), 1.5));
}

// Studio-range BT.601, as the engine's video effect reads it.
double Luma(const Rgb& c) {
    return 16.0 + 65.481 * c.r + 128.553 * c.g + 24.966 * c.b;
}
double BlueDifference(const Rgb& c) {
    return 128.0 - 37.797 * c.r - 74.203 * c.g + 112.0 * c.b;
}
double RedDifference(const Rgb& c) {
    return 128.0 + 112.0 * c.r - 93.786 * c.g - 18.214 * c.b;
}

void Paint(int index, TheoraWriter::Planes& planes) {
    const double t = static_cast<double>(index) / (kFps * kSeconds);
    const std::uint32_t cw = planes.width / 2;
    for (std::uint32_t row = 0; row < planes.height; row += 2) {
        for (std::uint32_t col = 0; col < planes.width; col += 2) {
            // Each chroma sample is the mean of its four pixels, so colours keep to the
            // shapes they belong to.
            Rgb mean;
            for (std::uint32_t k = 0; k < 4; ++k) {
                const std::uint32_t r = row + k / 2, c = col + k % 2;
                const Rgb pixel = Colour(t, c + 0.5, r + 0.5);
                planes.y[r * planes.width + c] = Byte(Luma(pixel));
                mean = Mix(mean, pixel, 1.0 / (k + 1));
            }
            const std::uint32_t at = row / 2 * cw + col / 2;
            planes.u[at] = Byte(BlueDifference(mean));
            planes.v[at] = Byte(RedDifference(mean));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvvideo <data folder>\n");
        return 2;
    }
    try {
        TheoraWriter::Params params;
        params.width = kWidth;
        params.height = kHeight;
        params.fpsNumerator = kFps;
        params.frames = kFps * kSeconds;
        params.quality = 40;
        const std::string bytes = TheoraWriter::Encode(params, Paint);
        const std::filesystem::path dir = std::filesystem::path(argv[1]) / "video";
        std::filesystem::create_directories(dir);
        std::ofstream file(dir / "intro.ogg", std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            throw std::runtime_error("cannot write " + (dir / "intro.ogg").string());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvvideo: %s\n", e.what());
        return 1;
    }
    return 0;
}
