#pragma once

#include <cstdint>

// Result codes, buffer capabilities and status bits of the sound layer. The numbers are the
// ones of the Windows sound interface the game code was written against, so a failed checked
// call logs the same "HRESULT: <value>" text on every platform.
namespace Audio {

using Result = std::int32_t; // 0 = success, anything else a failure

inline constexpr Result Ok = 0;
inline constexpr Result ErrBufferLost = -2005401450;     // 0x88780096
inline constexpr Result ErrInvalidParam = -2147024809;   // 0x80070057
inline constexpr Result ErrInvalidCall = -2005401550;    // 0x88780032
inline constexpr Result ErrBadFormat = -2005401500;      // 0x88780064
inline constexpr Result ErrControlUnavail = -2005401570; // 0x8878001E
inline constexpr Result ErrNoDriver = -2005401480;       // 0x88780078
inline constexpr Result ErrNoInterface = -2147467262;    // 0x80004002
inline constexpr Result ErrOutOfMemory = -2147024882;    // 0x8007000E

// Buffer capability flags, as given when a buffer is created.
namespace Caps {
inline constexpr std::uint32_t Primary = 0x1;
inline constexpr std::uint32_t Static = 0x2;
inline constexpr std::uint32_t LocHardware = 0x4; // placement: recorded, no effect on mixing
inline constexpr std::uint32_t LocSoftware = 0x8; // placement: recorded, no effect on mixing
inline constexpr std::uint32_t Ctrl3D = 0x10;
inline constexpr std::uint32_t CtrlVolume = 0x80;
inline constexpr std::uint32_t CtrlPositionNotify = 0x100;
inline constexpr std::uint32_t GetCurrentPosition2 = 0x10000;
} // namespace Caps

// Bits of Buffer::GetStatus.
namespace Status {
inline constexpr std::uint32_t Playing = 0x1;
inline constexpr std::uint32_t BufferLost = 0x2;
inline constexpr std::uint32_t Looping = 0x4;
} // namespace Status

// Flag of Buffer::Play and Device::PlayPrimary.
inline constexpr std::uint32_t PlayLooping = 0x1;

// Buffer volume in hundredths of a decibel.
inline constexpr std::int32_t VolumeMin = -10000;
inline constexpr std::int32_t VolumeMax = 0;

} // namespace Audio
