#pragma once

#include "States/Controls/Zone.h"

namespace Gfx {
class Device;
}

namespace State::Control {

// A zone of a panorama: an invisible polygon of directions whose click runs a Lua text. In
// the "area" debug mode it shows as a translucent green film on the unit sphere around the
// camera.
class AreaPano : public Zone<PanoRegion> {
public:
    // "pos" (required): comma-separated angles in radians, each trimmed. Four are the
    // rectangle from (h0, p0) to (h1, p1); any other even count is a list of (heading, pitch)
    // vertices; an odd count leaves the zone without vertices, never hit. A piece that is not
    // a number throws "Bad position format". Then "context" (default "move") and the
    // element's text as the script.
    void Load(const XmlDom::Element& element) override;

    // The render operation on a given device: with the "area" flag set and at least three
    // vertices, the polygon as a triangle fan of unit directions under the panorama's
    // transforms. Fewer vertices enclose nothing and draw nothing.
    void RenderOn(Gfx::Device& device) override;
};

} // namespace State::Control
