#include "Include/cg/Angles.h"

#include "Include/cg/Direction.h"

#include <cmath>
#include <glm/geometric.hpp>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

namespace {

const float kPi = std::numbers::pi_v<float>;
const float kTwoPi = float(cg::TwoPi);
const float kNan = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();
const float kMax = std::numeric_limits<float>::max();

// Below lo an exact multiple of the range gives hi; non-finite values and empty or
// non-finite ranges give lo rather than NaN.
TEST(Wrap, IntoHalfOpenRange) {
    struct Case {
        float value, lo, hi, expected;
    } const cases[] = {
        {-1, 0, 4, 3},    {7, 0, 4, 3},    {4, 0, 4, 0},    {-8, 0, 4, 4},
        {25, 10, 20, 15}, {5, 10, 20, 15}, {kNan, 1, 2, 1}, {-kInf, 1, 2, 1},
        {5, 1, 1, 1},     {5, 1, kInf, 1}, {5, 1, kNan, 1},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(cg::Wrap(c.value, c.lo, c.hi), c.expected, 1e-5f) << c.value << " " << c.hi;
    }
    for (float value : {1e30f, -1e30f, kMax}) {
        const float wrapped = cg::Wrap(value, 0.0f, kTwoPi);
        EXPECT_TRUE(wrapped >= 0.0f && wrapped <= kTwoPi) << value;
    }
}

TEST(Normalize, TurnsHeadingAndClampsPitch) {
    struct Case {
        cg::cp<float> view, expected;
    } const cases[] = {
        {{-kPi / 2, 1.2f}, {3 * kPi / 2, 0.5f}},
        {{kTwoPi, -2.0f}, {kTwoPi, -0.5f}},
        {{1000.0f, 0.0f}, {float(std::fmod(1000.0, cg::TwoPi)), 0.0f}},
        {{-1000.0f, 0.0f}, {float(cg::TwoPi - std::fmod(1000.0, cg::TwoPi)), 0.0f}},
        {{kNan, kNan}, {0.0f, 0.0f}},
        {{kInf, -kInf}, {0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        cg::cp<float> view = c.view;
        cg::Normalize(view, 0.5f);
        EXPECT_NEAR(view.heading, c.expected.heading, 1e-3f) << c.view.heading;
        EXPECT_FLOAT_EQ(view.pitch, c.expected.pitch) << c.view.pitch;
    }
    // Where subtracting 2 pi no longer changes a float, or around the switch to fmod, the
    // turn-by-turn loops must still end in range.
    const float lastUnrolled = float(cg::LongestUnrolledHeading);
    for (float heading : {134217728.0f, -134217728.0f, -1e30f, kMax, -kMax, lastUnrolled,
                          std::nextafter(lastUnrolled, kInf), -1e-30f}) {
        cg::cp<float> view{heading, 0.0f};
        cg::Normalize(view, 1.0f);
        EXPECT_TRUE(view.heading >= 0.0f && view.heading <= kTwoPi) << heading;
    }
}

// Components just beyond 1 come from rounding; non-finite ones give straight ahead.
TEST(DirectionToCp, AxesPolesAndNonFiniteComponents) {
    struct Case {
        glm::vec3 direction;
        cg::cp<float> expected;
    } const cases[] = {
        {{-1, 0, 0}, {3 * kPi / 2, 0}},
        {{0, 1.0000001f, 0}, {0, kPi / 2}},
        {{0, -1.0000001f, 0}, {0, -kPi / 2}},
        {{0, 0, -1.0000001f}, {kPi, 0}},
        {{kNan, 0, 1}, {0, 0}},
        {{0, kInf, 0}, {0, 0}},
    };
    for (const auto& c : cases) {
        const glm::vec3& d = c.direction;
        const cg::cp<float> cp = cg::DirectionToCp(d.x, d.y, d.z);
        EXPECT_NEAR(cp.heading, c.expected.heading, 1e-3f) << d.x << " " << d.y << " " << d.z;
        EXPECT_NEAR(cp.pitch, c.expected.pitch, 1e-3f) << d.x << " " << d.y << " " << d.z;
    }
}

// Round trips through the direction, and vectors in the plane x = 0 (the pointer on the
// screen's centre line), where rounding pushes z / cos(pitch) past 1 for many of them.
TEST(DirectionToCp, RoundTripsAndGivesNoNanFromRounding) {
    for (int h = 0; h < 64; ++h) {
        for (int p = -8; p <= 8; ++p) {
            const cg::cp<float> view{h * 0.1f, p * 0.19f};
            const glm::vec3 direction = cg::CpToDirection(view);
            const cg::cp<float> back = cg::DirectionToCp(direction.x, direction.y, direction.z);
            EXPECT_LT(glm::length(cg::CpToDirection(back) - direction), 1e-3f) << h << " " << p;
            EXPECT_NEAR(back.pitch, view.pitch, 1e-3f);
        }
    }
    for (int i = 0; i <= 20000; ++i) {
        const float y = -1.0f + 2.0f * float(i) / 20000;
        for (float sign : {1.0f, -1.0f}) {
            const glm::vec3 v = glm::normalize(glm::vec3(0.0f, y, sign * std::sqrt(1 - y * y)));
            const cg::cp<float> cp = cg::DirectionToCp(v.x, v.y, v.z);
            ASSERT_TRUE(std::isfinite(cp.pitch) && cp.heading >= 0.0f && cp.heading <= kTwoPi) << y;
        }
    }
}

} // namespace
