#pragma once

#include <array>
#include <cstdint>

namespace Platform {

inline constexpr int kIconSize = 32;

// The program's window icon, built into the executable: kIconSize x kIconSize pixels,
// rows from the top, each 0xAARRGGBB. A gold compass star in a gold ring on an indigo
// disc, transparent outside the disc.
std::array<std::uint32_t, kIconSize * kIconSize> ProgramIconPixels();

} // namespace Platform
