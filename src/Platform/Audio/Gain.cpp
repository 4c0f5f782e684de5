#include "Platform/Audio/Gain.h"

#include "Platform/Audio/Results.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Audio {

float VolumeGain(std::int32_t hundredthsDb) {
    if (hundredthsDb <= VolumeMin) {
        return 0.0f;
    }
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

PanGains PanFromPosition(float x, float y, float z) {
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (length < 1e-6) {
        return {};
    }
    const double pan = std::clamp(x / length, -1.0, 1.0);
    if (pan >= 1.0) {
        return {0.0f, 1.0f};
    }
    if (pan <= -1.0) {
        return {1.0f, 0.0f};
    }
    const double theta = (pan + 1.0) * std::numbers::pi / 4.0;
    return {static_cast<float>(std::min(1.0, std::numbers::sqrt2 * std::cos(theta))),
            static_cast<float>(std::min(1.0, std::numbers::sqrt2 * std::sin(theta)))};
}

} // namespace Audio
