#pragma once

#include "Include/cg/Polygon.h"

namespace State::Control {

// A control is under the pointer only when, tested in this order, it is clickable, it has a
// cursor context to show, and the pointer lies inside its region. A control without a
// context is never hit, whatever its region.
//
// Control is a flat control: a clickable flag `clickable_`, `GetContext()` and a `region_` of
// points in normalised device coordinates.
template <typename Control>
bool HitTestFlat(Control& control, const cg::point<float, 2>& p) {
    return control.clickable_ && !control.GetContext().empty() &&
           cg::InsidePolygon(p, control.region_);
}

// The same for a control laid on the panorama, whose region holds directions.
template <typename Control>
bool HitTestPano(Control& control, const cg::cp<float>& direction) {
    return control.clickable_ && !control.GetContext().empty() &&
           cg::InsidePanoPolygon(direction, control.region_);
}

} // namespace State::Control
