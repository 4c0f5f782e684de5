#pragma once

#include <cstdint>

namespace Audio {

// Amplitude factor of a buffer volume in hundredths of a decibel: 0 at -10000 and below,
// else 10^(volume / 2000) (-602 gives one half).
float VolumeGain(std::int32_t hundredthsDb);

struct PanGains {
    float left = 1.0f;
    float right = 1.0f;
};

// Stereo gains of a 3-D position relative to the listener at the origin, facing +z with +x
// to the right. Only the direction matters (a unit vector is at the minimum distance, so
// nothing is attenuated): pan = x / |p| from -1 (left) to 1 (right), turned into
// constant-power gains normalised so the centre plays both channels at full level.
// The origin (a buffer never positioned) is the centre.
PanGains PanFromPosition(float x, float y, float z);

} // namespace Audio
