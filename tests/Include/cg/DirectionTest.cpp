#include "Include/cg/Direction.h"

#include <cmath>
#include <glm/geometric.hpp>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

namespace {

const float kPi = std::numbers::pi_v<float>;

TEST(DirectionToCp, AlongEachAxisAndAtThePoles) {
    struct Case {
        glm::vec3 direction;
        cg::cp<float> expected;
    } const cases[] = {
        {{0, 0, 1}, {0, 0}},
        {{1, 0, 0}, {kPi / 2, 0}},
        {{-1, 0, 0}, {3 * kPi / 2, 0}},
        {{0, 0, -1}, {kPi, 0}},
        {{0, 1, 0}, {0, kPi / 2}},
        {{0, -1, 0}, {0, -kPi / 2}},
        {{0, 1.0000001f, 0}, {0, kPi / 2}},
        {{0, -1.0000001f, 0}, {0, -kPi / 2}},
        {{0, 0, 1.0000001f}, {0, 0}},
        {{0, 0, -1.0000001f}, {kPi, 0}},
    };
    for (const auto& c : cases) {
        const cg::cp<float> cp = cg::DirectionToCp(c.direction.x, c.direction.y, c.direction.z);
        EXPECT_NEAR(cp.heading, c.expected.heading, 1e-3f) << c.direction.x << c.direction.z;
        EXPECT_NEAR(cp.pitch, c.expected.pitch, 1e-3f) << c.direction.y;
    }
}

TEST(DirectionToCp, RoundTripsThroughTheDirection) {
    for (int h = 0; h < 64; ++h) {
        for (int p = -8; p <= 8; ++p) {
            const cg::cp<float> view{h * 0.1f, p * 0.19f};
            const glm::vec3 direction = cg::CpToDirection(view);
            EXPECT_NEAR(glm::length(direction), 1.0f, 1e-5f);
            const cg::cp<float> back = cg::DirectionToCp(direction.x, direction.y, direction.z);
            const glm::vec3 again = cg::CpToDirection(back);
            EXPECT_LT(glm::length(again - direction), 1e-3f) << view.heading << " " << view.pitch;
            EXPECT_NEAR(back.pitch, view.pitch, 1e-3f);
        }
    }
}

// Vectors in the plane x = 0, as the pointer at the screen's centre line or an image corner
// on a face's centre line give them: rounding pushes z / cos(pitch) past 1 for many of them.
TEST(DirectionToCp, NoNanFromRoundingOnTheCentreLine) {
    const int steps = 20000;
    for (int i = 0; i <= steps; ++i) {
        const float y = -1.0f + 2.0f * float(i) / steps;
        for (float sign : {1.0f, -1.0f}) {
            const glm::vec3 v = glm::normalize(glm::vec3(0.0f, y, sign * std::sqrt(1 - y * y)));
            const cg::cp<float> cp = cg::DirectionToCp(v.x, v.y, v.z);
            ASSERT_TRUE(std::isfinite(cp.heading) && std::isfinite(cp.pitch)) << y;
            ASSERT_GE(cp.heading, 0.0f);
            ASSERT_LE(cp.heading, float(cg::TwoPi));
        }
    }
}

TEST(DirectionToCp, NonFiniteComponentsGiveStraightAhead) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const glm::vec3& v : {glm::vec3(nan, 0, 1), glm::vec3(0, inf, 0), glm::vec3(0, 0, -inf)}) {
        EXPECT_EQ(cg::DirectionToCp(v.x, v.y, v.z), (cg::cp<float>{0.0f, 0.0f}));
    }
}

} // namespace
