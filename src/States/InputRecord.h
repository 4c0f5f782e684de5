#pragma once

#include <cstdint>

namespace State {

// One buffered mouse or keyboard record as the input devices deliver it: the offset (an
// axis or button of the mouse, a key code of the keyboard) and its data (axes: a signed
// relative motion; buttons and keys: bit 0x80 set while pressed).
struct InputRecord {
    std::uint32_t dwOfs = 0;
    std::uint32_t dwData = 0;
    std::uint32_t dwTimeStamp = 0;
    std::uint32_t dwSequence = 0;
    std::uintptr_t uAppData = 0;
};

// Mouse button offsets and the pressed bit.
inline constexpr std::uint32_t kMouseButton0 = 12;
inline constexpr std::uint32_t kMouseButton1 = 13;
inline constexpr std::uint32_t kPressedBit = 0x80;

} // namespace State
