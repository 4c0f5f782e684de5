#pragma once

#include "Include/cg/Point.h"

#include <algorithm>
#include <array>

namespace cg {

// Four floats. Each function below says in which order it reads them.
using rect = std::array<float, 4>;

// r = {x0, y0, x1, y1}: x0 <= x <= x1 and y0 <= y <= y1, every bound inclusive.
inline bool Contains(const point<float, 2>& p, const rect& r) {
    return r[0] <= p.x && p.x <= r[2] && r[1] <= p.y && p.y <= r[3];
}

// r = {left, top, right, bottom} with y running up: top is the upper y bound, bottom the
// lower one. The point is moved into the rectangle one axis at a time.
inline point<float, 2> Clamp(const rect& r, const point<float, 2>& p) {
    return {std::min(std::max(p.x, r[0]), r[2]), std::min(std::max(p.y, r[3]), r[1])};
}

// r = {a, b, c, d}: the rectangle moved by the point, {a + x, b + y, c + x, d + y}.
inline rect Offset(const rect& r, const point<float, 2>& p) {
    return {r[0] + p.x, r[1] + p.y, r[2] + p.x, r[3] + p.y};
}

} // namespace cg
