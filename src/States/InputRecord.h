#pragma once

#include "Platform/Input/Codes.h"

namespace State {

// One buffered mouse or keyboard record as the input devices deliver it: the offset (an
// axis or button of the mouse, a key code of the keyboard) and its data (axes: a signed
// relative motion; buttons and keys: bit 0x80 set while pressed).
using InputRecord = Input::Record;

// Mouse button offsets and the pressed bit.
inline constexpr std::uint32_t kMouseButton0 = Input::DIMOFS_BUTTON0;
inline constexpr std::uint32_t kMouseButton1 = Input::DIMOFS_BUTTON1;
inline constexpr std::uint32_t kPressedBit = Input::Pressed;

} // namespace State
