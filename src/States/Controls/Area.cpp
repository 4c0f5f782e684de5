#include "States/Controls/Area.h"

#include "Game/Opts.h"
#include "States/Controls/PositionFormat.h"

#include <cstdint>

namespace State::Control {

namespace {

constexpr float kPixelWidth = 0.0009765625f; // 1 / 1024

// The x of a pixel column in normalised device coordinates.
float ColumnX(std::int64_t px) {
    return float(px) * kPixelWidth * 2.0f - 1.0f;
}

// The y of a pixel row in normalised device coordinates.
float RowY(std::int64_t py) {
    return 1.0f - 2.0f * float(py) / 768.0f;
}

} // namespace

void Area::Load(const XmlDom::Element& element) {
    // Sums in 64 bits: a huge width must not overflow.
    const std::int64_t x = ParsePixel(XmlDom::Attr(element, "x", "0"));
    const std::int64_t y = ParsePixel(XmlDom::Attr(element, "y", "0"));
    const std::int64_t w = ParsePixel(XmlDom::Attr(element, "w", "0"));
    const std::int64_t h = ParsePixel(XmlDom::Attr(element, "h", "0"));
    rect_ = {ColumnX(x), RowY(y + h), ColumnX(x + w), RowY(y)};
    const auto [x0, y0, x1, y1] = rect_;
    region_ = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
    LoadScript(element);
}

void Area::RenderOn(Gfx::Device& device) {
    if (!opts().area_) {
        return;
    }
    if (cache_.empty()) {
        const auto [x0, y0, x1, y1] = rect_;
        cache_ = {{x0, y0, 1.0f, kAreaColour},
                  {x0, y1, 1.0f, kAreaColour},
                  {x1, y0, 1.0f, kAreaColour},
                  {x1, y1, 1.0f, kAreaColour}};
    }
    DrawAreaShape(device, Gfx::Primitive::TriangleStrip, 2, cache_, ".\\States\\Controls\\Area",
                  "dx().device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, & cache_[0], "
                  "sizeof(VERTEX))");
}

} // namespace State::Control
