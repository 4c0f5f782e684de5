#pragma once

#include "Include/cg/Angles.h"
#include "Include/cg/Cp.h"

#include <cmath>
#include <glm/vec3.hpp>

namespace cg {

// The unit vector of a panorama direction in the renderer's left-handed frame (x right, y up,
// z forward): heading 0 looks along +z, pi/2 along +x, positive pitch looks up.
inline glm::vec3 CpToDirection(const cp<float>& c) {
    const float cosPitch = std::cos(c.pitch);
    return {std::sin(c.heading) * cosPitch, std::sin(c.pitch), std::cos(c.heading) * cosPitch};
}

// The panorama direction of a unit vector: heading in [0, 2 pi], pitch in [-pi/2, pi/2].
// Rounding can push the arguments of asin and acos a little beyond [-1, 1], so both are
// clamped; straight up or down (cos pitch below 1e-6) has no heading and gives 0. A vector
// with a non-finite component gives {0, 0}: no NaN leaves this function.
inline cp<float> DirectionToCp(float x, float y, float z) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
        return {0.0f, 0.0f};
    }
    auto unit = [](float v) { return std::fmax(-1.0f, std::fmin(v, 1.0f)); };
    const float pitch = std::asin(unit(y));
    const float cosPitch = std::cos(pitch);
    if (cosPitch < 1e-6f) {
        return {0.0f, pitch};
    }
    float heading = std::acos(unit(z / cosPitch));
    if (x < 0.0f) {
        heading = float(TwoPi) - heading;
    }
    return {heading, pitch};
}

} // namespace cg
