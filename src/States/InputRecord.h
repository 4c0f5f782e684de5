#pragma once

#include "Platform/Input/Codes.h"

#include <functional>

namespace State {

// One buffered mouse or keyboard record as the input devices deliver it: the offset (an
// axis or button of the mouse, a key code of the keyboard) and its data (axes: a signed
// relative motion; buttons and keys: bit 0x80 set while pressed).
using InputRecord = Input::Record;

// Mouse axis and button offsets and the pressed bit.
inline constexpr std::uint32_t kMouseX = Input::DIMOFS_X;
inline constexpr std::uint32_t kMouseY = Input::DIMOFS_Y;
inline constexpr std::uint32_t kMouseButton0 = Input::DIMOFS_BUTTON0;
inline constexpr std::uint32_t kMouseButton1 = Input::DIMOFS_BUTTON1;
inline constexpr std::uint32_t kPressedBit = Input::Pressed;

// The keys the states answer.
inline constexpr std::uint32_t kKeyEscape = Input::DIK_ESCAPE;
inline constexpr std::uint32_t kKeyBack = Input::DIK_BACK;
inline constexpr std::uint32_t kKeyI = Input::DIK_I;
inline constexpr std::uint32_t kKeyEnter = Input::DIK_RETURN;
inline constexpr std::uint32_t kKeyApostrophe = Input::DIK_APOSTROPHE;
inline constexpr std::uint32_t kKeyGrave = Input::DIK_GRAVE;

// How many releases of the key or button that skips a cut-scene or a video the batch holds:
// Escape on the keyboard, the secondary mouse button (the primary one for left-handed
// players).
int CountSkipReleases(const InputRecord* records, int count, bool keyboard);

// Runs `exit` (the scene's "exit") once for each skip release of the batch, as a script may
// stay on the scene, until one of them has moved the game to another state: the releases
// after that belong to no one, and must not act on the state that came next.
void SkipOnEachRelease(const InputRecord* records, int count, bool keyboard,
                       const std::function<void()>& exit);

} // namespace State
