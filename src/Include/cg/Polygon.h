#pragma once

#include "Include/cg/Angles.h"
#include "Include/cg/Cp.h"
#include "Include/cg/Point.h"
#include "Include/cg/Region.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <vector>

namespace cg {

// Whether p lies inside the polygon, by summing the signed angles that its edges subtend at
// p: about +-2 pi inside, 0 outside. A point within 0.0001 of a vertex counts as inside; a
// point on an edge gives that edge an angle of +-pi and is decided by the other edges.
// A region of fewer than three vertices encloses nothing and is entered only at a vertex.
template <typename T>
bool InsidePolygon(const point<T, 2>& p, const region<point<T, 2>>& rgn) {
    const T tolerance = T(0.0001);
    const std::size_t n = rgn.size();
    T sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const point<T, 2>& from = rgn[i];
        const point<T, 2>& to = rgn[(i + 1) % n];
        T ax = from.x - p.x;
        T ay = from.y - p.y;
        T bx = to.x - p.x;
        T by = to.y - p.y;
        const T lengthA = std::sqrt(ax * ax + ay * ay);
        const T lengthB = std::sqrt(bx * bx + by * by);
        if (lengthA < tolerance || lengthB < tolerance) {
            return true;
        }
        ax /= lengthA;
        ay /= lengthA;
        bx /= lengthB;
        by /= lengthB;
        sum += std::atan2(ax * by - ay * bx, ax * bx + ay * by);
    }
    return n >= 3 && std::abs(sum) > std::numbers::pi_v<T>;
}

// Whether the direction lies inside the panorama polygon. Headings wrap around at 2 pi, so
// the polygon is cut open at the far side of the widest empty sector of its headings, every
// heading is measured from there into [0, 2 pi), and the result is tested flat with heading
// as x and pitch as y (no spherical correction). Ties between sectors go to the wrap-around
// sector, then to the earliest. An empty region, or any non-finite angle, is never inside.
template <typename T>
bool InsidePanoPolygon(const cp<T>& c, const region<cp<T>>& rgn) {
    auto finite = [](const cp<T>& v) { return std::isfinite(v.heading) && std::isfinite(v.pitch); };
    if (rgn.empty() || !finite(c) || !std::all_of(rgn.begin(), rgn.end(), finite)) {
        return false;
    }
    const T turn = T(TwoPi);
    std::vector<T> headings;
    headings.reserve(rgn.size());
    for (const cp<T>& v : rgn) {
        headings.push_back(v.heading);
    }
    std::sort(headings.begin(), headings.end());
    T cut = headings.front();
    T widest = headings.front() + turn - headings.back();
    for (std::size_t i = 1; i < headings.size(); ++i) {
        const T gap = headings[i] - headings[i - 1];
        if (gap > widest) {
            widest = gap;
            cut = headings[i];
        }
    }
    auto unroll = [cut, turn](const cp<T>& v) {
        return point<T, 2>{Wrap(T(v.heading - cut), T(0), turn), v.pitch};
    };
    region<point<T, 2>> flat;
    flat.reserve(rgn.size());
    std::transform(rgn.begin(), rgn.end(), std::back_inserter(flat), unroll);
    return InsidePolygon(unroll(c), flat);
}

} // namespace cg
