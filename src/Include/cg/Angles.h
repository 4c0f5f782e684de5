#pragma once

#include "Include/cg/Cp.h"

#include <cmath>

namespace cg {

// 2 pi rounded to float, held as a double: the full turn by which headings are normalised.
inline constexpr double TwoPi = 6.2831854820251465;

// Beyond this many radians the turn-by-turn normalisation would take more than 32 turns (and
// for |h| >= 2^27 or infinity would never end, as h - 2 pi == h in float); such headings are
// reduced with fmod first.
inline constexpr double LongestUnrolledHeading = 32 * TwoPi;

// value wrapped into [lo, hi): unchanged inside; lo + fmod(value - lo, r) at or above hi;
// hi - fmod(hi - value, r) below lo, which gives hi itself when hi - value is a whole number
// of ranges. A non-finite value or range, or an empty one, gives lo rather than NaN.
template <typename T>
T Wrap(T value, T lo, T hi) {
    const T r = hi - lo;
    if (!std::isfinite(value) || !std::isfinite(r) || !(r > 0)) {
        return lo;
    }
    if (value >= lo && value < hi) {
        return value;
    }
    const T wrapped = value >= hi ? lo + std::fmod(value - lo, r) : hi - std::fmod(hi - value, r);
    return std::isfinite(wrapped) ? wrapped : lo;
}

// Brings a view into heading [0, 2 pi] (exactly 2 pi is kept) and pitch [-limit, limit].
// A non-finite heading or pitch becomes 0; headings of more than 32 turns are first reduced
// with fmod, so the loops below always end after a few turns.
inline void Normalize(cp<float>& view, float limit) {
    if (!std::isfinite(view.heading)) {
        view.heading = 0.0f;
    }
    if (!std::isfinite(view.pitch)) {
        view.pitch = 0.0f;
    }
    if (std::abs(view.heading) > LongestUnrolledHeading) {
        double h = std::fmod(double(view.heading), TwoPi);
        if (h < 0.0) {
            h += TwoPi;
        }
        view.heading = float(h);
    }
    while (view.heading < 0.0f) {
        view.heading = float(view.heading + TwoPi);
    }
    while (view.heading > TwoPi) {
        view.heading = float(view.heading - TwoPi);
    }
    if (view.pitch < -limit) {
        view.pitch = -limit;
    } else if (view.pitch > limit) {
        view.pitch = limit;
    }
}

} // namespace cg
