// Generates the demo game's video: a few seconds of drawn frames (a dusk sky over a dark
// hill line, a sun sinking through it) encoded as Ogg Theora into <data>/video/intro.ogg.

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

void Paint(int index, TheoraWriter::Planes& planes) {
    const double t = static_cast<double>(index) / (kFps * kSeconds);
    const double sunX = 200.0 + 240.0 * t;
    const double sunY = 140.0 + 200.0 * t;
    for (std::uint32_t row = 0; row < planes.height; ++row) {
        for (std::uint32_t col = 0; col < planes.width; ++col) {
            const double ground = 330.0 + 25.0 * std::sin(col * 0.02) + 10.0 * std::sin(col * 0.07);
            const double dx = col - sunX, dy = row - sunY;
            const bool sun = dx * dx + dy * dy < 40.0 * 40.0;
            double luma = row > ground ? 20.0 : 60.0 + 120.0 * (1.0 - row / ground) * (1.0 - t);
            if (sun && row <= ground) {
                luma = 235.0 - 60.0 * t;
            }
            planes.y[row * planes.width + col] = Byte(luma);
        }
    }
    // Warm sky above, cool ground below.
    const std::uint32_t cw = planes.width / 2;
    for (std::uint32_t row = 0; row < planes.height / 2; ++row) {
        for (std::uint32_t col = 0; col < cw; ++col) {
            const bool low = row * 2 > 340;
            planes.u[row * cw + col] = Byte(low ? 140.0 : 100.0 - 20.0 * t);
            planes.v[row * cw + col] = Byte(low ? 120.0 : 160.0 + 20.0 * t);
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
