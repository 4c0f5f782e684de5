#pragma once

#include "Game/XmlDom.h"
#include "States/Controls/BaseImpl.h"
#include "States/Controls/ImageFrame.h"
#include "States/Controls/ImageQuad.h"

#include <array>
#include <cstdint>

namespace State::Control {

// A vertex of a quad on the flat screen: pretransformed position, colour, texture
// coordinates; 28 bytes.
struct ScreenVertex {
    float x = 0.0f, y = 0.0f, z = 1.0f, rhw = 1.0f;
    std::uint32_t diffuse = 0;
    float u = 0.0f, v = 0.0f;
};

// Where an image goes on the flat screen: its top-left pixel of the 1024x768 frame. The quad
// is four pretransformed vertices (format XYZRHW | DIFFUSE | TEX1) whose edges sit half a
// pixel up and left, so that texels meet pixels.
class PlacementScreen : public ImageQuad<ScreenVertex, 0x144> {
public:
    using Region = FlatRegion;

    // "x" and "y" (whole pixels, default 0).
    void Load(const XmlDom::Element& element);
    // Places the quad of a w x h pixel frame.
    void Layout(int w, int h);
    // The placed quad in normalised device coordinates: (left, top), (left, bottom),
    // (right, bottom), (right, top).
    Region QuadRegion() const;
    // The frame's texture rectangle and the colour, into the four vertices.
    void SetTexture(const ImageFrame& frame, std::uint32_t colour);

    int x_ = 0;
    int y_ = 0;
    // left, top, right, bottom in normalised device coordinates.
    std::array<float, 4> rect_{};
};

} // namespace State::Control
