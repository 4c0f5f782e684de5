#include "../ControlProbe.h"
#include "Game/Exception.h"
#include "States/Controls/PlacementPano.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

using State::Control::PlacementPano;

struct V3 {
    float x, y, z;
};

// The face turned by 45 degrees about the vertical, as a left-handed rotation turns row
// vectors: x' = x cos + z sin, z' = z cos - x sin.
V3 Turn(V3 v) {
    const float c = std::cos(std::numbers::pi_v<float> / 4);
    const float s = std::sin(std::numbers::pi_v<float> / 4);
    return {v.x * c + v.z * s, v.y, v.z * c - v.x * s};
}

PlacementPano Placed(const std::string& attributes, int w, int h) {
    PlacementPano pano;
    pano.Load(test::ElementOf("<image " + attributes + "/>", "image"));
    pano.Layout(w, h);
    return pano;
}

// Quads on two sides, with and without the turn: the corners on the cube's face (extents of
// w - 1 and h - 1 pixels), and the region of their directions in the order top-left,
// top-right, bottom-right, bottom-left, never straddling heading 0.
TEST(ImagePanoTest, QuadsOnCubeSides) {
    const float k = 2.0f * 511.0f / 1024.0f; // 512 pixels wide
    const struct {
        const char* attributes;
        V3 corners[4];
    } cases[] = {
        // The front face (+z), centred: the region crosses heading 0.
        {R"(side="4" x="256" y="256")",
         {{-0.5f, 0.5f, 1}, {-0.5f + k, 0.5f, 1}, {-0.5f, 0.5f - k, 1}, {-0.5f + k, 0.5f - k, 1}}},
        {R"(side="4" x="256" y="256" shift="Yes")",
         {{-0.5f, 0.5f, 1}, {-0.5f + k, 0.5f, 1}, {-0.5f, 0.5f - k, 1}, {-0.5f + k, 0.5f - k, 1}}},
        // The right face (+x): right runs towards -z; its top-left corner.
        {R"(side="0")", {{1, 1, 1}, {1, 1, 1 - k}, {1, 1 - k, 1}, {1, 1 - k, 1 - k}}},
        {R"(side="0" shift="yes")",
         {Turn({1, 1, 1}), Turn({1, 1, 1 - k}), Turn({1, 1 - k, 1}), Turn({1, 1 - k, 1 - k})}},
    };
    for (const auto& c : cases) {
        const PlacementPano pano = Placed(c.attributes, 512, 512);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(pano.vertices_[i].x, c.corners[i].x, 1e-5) << c.attributes << " " << i;
            EXPECT_NEAR(pano.vertices_[i].y, c.corners[i].y, 1e-5) << c.attributes << " " << i;
            EXPECT_NEAR(pano.vertices_[i].z, c.corners[i].z, 1e-5) << c.attributes << " " << i;
        }
        const auto region = pano.QuadRegion();
        ASSERT_EQ(region.size(), 4u);
        float lo = 10.0f;
        float hi = -10.0f;
        const int order[4] = {0, 1, 3, 2};
        for (int i = 0; i < 4; ++i) {
            const V3& p = c.corners[order[i]];
            const float heading = std::atan2(p.x, p.z);
            const float pitch = std::atan2(p.y, std::hypot(p.x, p.z));
            // Headings are [0, 2 pi) turned below pi where the quad straddles heading 0.
            EXPECT_NEAR(std::remainder(region[i].heading - heading, 2 * std::numbers::pi_v<float>),
                        0.0f, 1e-5)
                << c.attributes << " " << i;
            EXPECT_NEAR(region[i].pitch, pitch, 1e-5) << c.attributes << " " << i;
            lo = std::min(lo, region[i].heading);
            hi = std::max(hi, region[i].heading);
        }
        EXPECT_LE(hi - lo, std::numbers::pi_v<float>) << c.attributes;
    }
}

// The texture rectangle is drawn in by half a texel on every side; the side must be 0 to 5.
TEST(ImagePanoTest, HalfTexelInsetAndSide) {
    PlacementPano pano = Placed(R"(side="5")", 64, 64);
    pano.SetTexture({nullptr, 0.25f, 0.0f, 0.5f, 1.0f, 0.01f, 0.02f}, 0x80FFFFFFu);
    const auto& v = pano.vertices_;
    EXPECT_EQ(std::vector<float>({v[0].u, v[0].v, v[3].u, v[3].v, v[1].u, v[2].v}),
              std::vector<float>({0.26f, 0.02f, 0.49f, 0.98f, 0.49f, 0.98f}));
    EXPECT_EQ(v[2].diffuse, 0x80FFFFFFu);
    EXPECT_THROW(Placed(R"(side="6")", 64, 64), exception);
    EXPECT_THROW(Placed(R"(x="1")", 64, 64), exception);
}

} // namespace
