#pragma once

#include "Game/XmlDom.h"
#include "States/Controls/BaseImpl.h"
#include "States/Controls/ImageFrame.h"
#include "States/Controls/ImageQuad.h"

#include <cstdint>

namespace State::Control {

// A vertex of a quad on the panorama: world position, colour, texture coordinates; 24 bytes.
struct PanoVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    std::uint32_t diffuse = 0;
    float u = 0.0f, v = 0.0f;
};

// Where an image goes on a side of the panorama's cube: its top-left pixel of a 1024x1024
// side. The quad (format XYZ | DIFFUSE | TEX1) lies on the face of the unit cube, in the
// panorama's world space, so that it turns with the view; its region is the directions of its
// corners.
class PlacementPano : public ImageQuad<PanoVertex, 0x142> {
public:
    using Region = PanoRegion;

    // "x", "y" (default 0), "side" (required, 0 to 5: a configuration error otherwise) and
    // "shift" (turns the face by 45 degrees about the vertical only for exactly "yes").
    void Load(const XmlDom::Element& element);
    // Places the quad of a w x h pixel frame on the side.
    void Layout(int w, int h);
    // The corners' directions {heading, pitch}, in the order top-left, top-right,
    // bottom-right, bottom-left; headings are brought below pi where the quad straddles
    // heading 0.
    Region QuadRegion() const;
    // The frame's texture rectangle drawn in by half a texel, and the colour.
    void SetTexture(const ImageFrame& frame, std::uint32_t colour);

    int x_ = 0;
    int y_ = 0;
    std::uint32_t side_ = 0;
    bool shift_ = false;
};

} // namespace State::Control
