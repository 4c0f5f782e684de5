#include "Platform/Window/ProgramIcon.h"

#include <cstdlib>

namespace Platform {

namespace {
constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kIndigo = 0xFF2B1B4A;
constexpr std::uint32_t kGold = 0xFFD9A62E;
} // namespace

std::array<std::uint32_t, kIconSize * kIconSize> ProgramIconPixels() {
    std::array<std::uint32_t, kIconSize * kIconSize> pixels{};
    // Distances are measured in half pixels from the centre so that they stay integers.
    for (int row = 0; row < kIconSize; ++row) {
        for (int column = 0; column < kIconSize; ++column) {
            const int dx = 2 * column + 1 - kIconSize;
            const int dy = 2 * row + 1 - kIconSize;
            const int squared = dx * dx + dy * dy;
            const int diamond = std::abs(dx) + std::abs(dy);
            std::uint32_t colour = kClear;
            if (squared <= 31 * 31) {
                colour = kIndigo;
                const bool ring = squared >= 23 * 23;
                const bool star = diamond <= 16 && diamond > 6;
                const bool arms = (std::abs(dx) == 1 || std::abs(dy) == 1) && diamond <= 22;
                if (ring || star || arms) {
                    colour = kGold;
                }
            }
            pixels[row * kIconSize + column] = colour;
        }
    }
    return pixels;
}

} // namespace Platform
