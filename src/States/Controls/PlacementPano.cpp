#include "States/Controls/PlacementPano.h"

#include "Game/Exception.h"
#include "Include/cg/Direction.h"
#include "Platform/Gfx/Math.h"

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <numbers>

namespace State::Control {

static_assert(sizeof(PanoVertex) == 24, "XYZ, a colour and one pair of UV");

namespace {

using Gfx::Vector3;

// Centre, right and up axes of each face of the unit cube.
struct Face {
    Vector3 c, r, u;
};
constexpr Face kFaces[6] = {
    {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    {{0, 1, 0}, {-1, 0, 0}, {0, 0, -1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},   {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
};

Vector3 Turned(const Vector3& v, const Gfx::Matrix& m) {
    const Gfx::Vector4 t = Gfx::Vec3Transform(v, m);
    return {t.x, t.y, t.z};
}

// a + k b
Vector3 Along(const Vector3& a, float k, const Vector3& b) {
    return {a.x + k * b.x, a.y + k * b.y, a.z + k * b.z};
}

} // namespace

void PlacementPano::Load(const XmlDom::Element& element) {
    x_ = boost::lexical_cast<int>(XmlDom::Attr(element, "x", "0"));
    y_ = boost::lexical_cast<int>(XmlDom::Attr(element, "y", "0"));
    side_ = boost::lexical_cast<std::uint32_t>(XmlDom::RequiredAttr(element, "side"));
    // Checked as soon as it is read, so an error names it (Where).
    if (side_ > 5) {
        throw exception("Configuration error: \n  Attribute 'side' out of range (0 to 5) at "
                        "image");
    }
    shift_ = XmlDom::Attr(element, "shift", "no") == "yes";
}

void PlacementPano::Layout(int w, int h) {
    const float s = 2.0f * float(x_) / 1024.0f - 1.0f;
    const float t = 1.0f - 2.0f * float(y_) / 1024.0f;
    const float width = 2.0f * float(std::int64_t(w) - 1) / 1024.0f;
    const float height = 2.0f * float(std::int64_t(h) - 1) / 1024.0f;
    Face face = kFaces[side_];
    if (shift_) {
        const Gfx::Matrix turn = Gfx::MatrixRotationY(0.7853982f);
        face = {Turned(face.c, turn), Turned(face.r, turn), Turned(face.u, turn)};
    }
    const Vector3 p0 = Along(Along(face.c, s, face.r), t, face.u);
    const Vector3 p1 = Along(p0, width, face.r);
    const Vector3 p2 = Along(p0, -height, face.u);
    const Vector3 p3 = Along(p1, -height, face.u);
    const Vector3 corners[4] = {p0, p1, p2, p3};
    for (int i = 0; i < 4; ++i) {
        vertices_[i].x = corners[i].x;
        vertices_[i].y = corners[i].y;
        vertices_[i].z = corners[i].z;
    }
}

PlacementPano::Region PlacementPano::QuadRegion() const {
    Region region;
    for (int i : {0, 1, 3, 2}) {
        const Vertex& v = vertices_[i];
        const Vector3 d = Gfx::Vec3Normalize({v.x, v.y, v.z});
        cg::cp<float> c = cg::DirectionToCp(d.x, d.y, d.z);
        cg::Normalize(c, std::numbers::pi_v<float> / 2.0f);
        region.push_back(c);
    }
    const auto [lo, hi] =
        std::minmax_element(region.begin(), region.end(),
                            [](const auto& a, const auto& b) { return a.heading < b.heading; });
    if (hi->heading - lo->heading > std::numbers::pi_v<float>) {
        for (cg::cp<float>& c : region) {
            if (c.heading > std::numbers::pi_v<float>) {
                c.heading -= float(cg::TwoPi);
            }
        }
    }
    return region;
}

void PlacementPano::SetTexture(const ImageFrame& f, std::uint32_t colour) {
    WriteTexture(f.uL + f.halfU, f.vT + f.halfV, f.uR - f.halfU, f.vB - f.halfV, colour);
}

} // namespace State::Control
