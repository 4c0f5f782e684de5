#pragma once

#include "Include/cg/Polygon.h"

namespace State::Control {

// A control is under the pointer only when, tested in this order, it is clickable, it has a
// cursor context to show, and the pointer lies inside its region. A control without a
// context is never hit, whatever its region.
//
// Control is a flat control: a clickable flag `clickable`, `GetContext()` and a `region` of
// points in normalised device coordinates.
template <typename Control>
bool HitTestFlat(Control& control, const cg::point<float, 2>& p) {
    return control.clickable && !control.GetContext().empty() &&
           cg::InsidePolygon(p, control.region);
}

// The same for a control laid on the panorama, whose region holds directions.
template <typename Control>
bool HitTestPano(Control& control, const cg::cp<float>& direction) {
    return control.clickable && !control.GetContext().empty() &&
           cg::InsidePanoPolygon(direction, control.region);
}

} // namespace State::Control
