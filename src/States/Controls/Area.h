#pragma once

#include "States/Controls/Zone.h"

#include <array>

namespace Gfx {
class Device;
}

namespace State::Control {

// A zone of a screen: an invisible rectangle of the 1024x768 virtual screen whose click runs
// a Lua text. In the "area" debug mode it shows as a translucent green rectangle.
class Area : public Zone<FlatRegion> {
public:
    // "x", "y", "w", "h" (whole pixels, default 0), "context" (default "move") and the
    // element's text as the script; a position that is not a whole number throws
    // "Bad position format".
    void Load(const XmlDom::Element& element) override;

    // The render operation on a given device: with the "area" flag set, the rectangle as a
    // triangle strip at depth 1 under the identity transforms that screens set.
    void RenderOn(Gfx::Device& device) override;

    // {x0, y0, x1, y1} in normalised device coordinates: left, bottom, right, top.
    const std::array<float, 4>& Rect() const { return rect_; }

private:
    std::array<float, 4> rect_{};
};

} // namespace State::Control
