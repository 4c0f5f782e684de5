#pragma once

#include <cmath>

namespace cg {

// A point of N coordinates. Only the flat two-coordinate point exists: screen positions in
// normalised device coordinates or on the 1024x768 virtual screen, as each caller says.
template <typename T, int N>
struct point;

template <typename T>
struct point<T, 2> {
    T x{};
    T y{};

    friend bool operator==(const point&, const point&) = default;
};

// The points are equal within 0.0001 per coordinate (strictly): the slider's test of whether
// its knob moved.
template <typename T>
bool Equal(const point<T, 2>& a, const point<T, 2>& b) {
    return std::abs(a.x - b.x) < T(0.0001) && std::abs(a.y - b.y) < T(0.0001);
}

// Per axis, how far the point lies outside [lo, hi]: v - lo below, v - hi above, else 0.
// The panorama turns its view by this excess of the cursor near the screen's edges.
template <typename T>
point<T, 2> EdgeExcess(const point<T, 2>& p, T lo, T hi) {
    auto excess = [lo, hi](T v) { return v < lo ? v - lo : (v > hi ? v - hi : T(0)); };
    return {excess(p.x), excess(p.y)};
}

} // namespace cg
