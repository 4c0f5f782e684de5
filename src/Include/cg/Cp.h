#pragma once

namespace cg {

// A panorama direction in radians. The heading turns about the vertical axis (0 looks along
// +z, pi/2 along +x); the pitch is positive looking up.
template <typename T>
struct cp {
    T heading{};
    T pitch{};

    friend bool operator==(const cp&, const cp&) = default;
};

} // namespace cg
