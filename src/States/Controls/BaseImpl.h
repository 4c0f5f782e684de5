#pragma once

#include "Include/cg/Cp.h"
#include "Include/cg/Point.h"
#include "Include/cg/Region.h"
#include "States/Controls/Base.h"

namespace State::Control {

// A control with a hit region: a polygon of points in the screen's normalised device
// coordinates (x = 2 px / 1024 - 1, y = 1 - 2 py / 768 for a pixel of the 1024x768 frame) for
// flat controls, or of directions {heading, pitch} in radians for controls laid on the
// panorama. The region is empty until the kind's Load fills it.
template <typename R>
class BaseImpl : public Base {
public:
    R region_;
};

using FlatRegion = cg::region<cg::point<float, 2>>;
using PanoRegion = cg::region<cg::cp<float>>;

// Zones, texts and images on the flat screen.
using FlatControl = BaseImpl<FlatRegion>;
// Zones and images on the panorama.
using PanoControl = BaseImpl<PanoRegion>;

} // namespace State::Control
