#include "States/Controls/PlacementScreen.h"

#include <boost/lexical_cast.hpp>
#include <cstdint>

namespace State::Control {

static_assert(sizeof(ScreenVertex) == 28, "XYZRHW, a colour and one pair of UV");

void PlacementScreen::Load(const XmlDom::Element& element) {
    x_ = boost::lexical_cast<int>(XmlDom::Attr(element, "x", "0"));
    y_ = boost::lexical_cast<int>(XmlDom::Attr(element, "y", "0"));
}

void PlacementScreen::Layout(int w, int h) {
    // Sums in 64 bits: a far corner must not overflow.
    const float L = float(std::int64_t(x_)) - 0.5f;
    const float T = float(std::int64_t(y_)) - 0.5f;
    const float R = float(std::int64_t(x_) + w) - 0.5f;
    const float B = float(std::int64_t(y_) + h) - 0.5f;
    vertices_[0].x = L;
    vertices_[0].y = T;
    vertices_[1].x = R;
    vertices_[1].y = T;
    vertices_[2].x = L;
    vertices_[2].y = B;
    vertices_[3].x = R;
    vertices_[3].y = B;
    rect_ = {L * (1.0f / 1024.0f) * 2.0f - 1.0f, 1.0f - T * 2.0f / 768.0f,
             R * (1.0f / 1024.0f) * 2.0f - 1.0f, 1.0f - B * 2.0f / 768.0f};
}

PlacementScreen::Region PlacementScreen::QuadRegion() const {
    const auto [left, top, right, bottom] = rect_;
    return {{left, top}, {left, bottom}, {right, bottom}, {right, top}};
}

void PlacementScreen::SetTexture(const ImageFrame& f, std::uint32_t colour) {
    WriteTexture(f.uL, f.vT, f.uR, f.vB, colour);
}

} // namespace State::Control
