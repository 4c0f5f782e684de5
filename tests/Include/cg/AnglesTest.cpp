#include "Include/cg/Angles.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

namespace {

const float kTwoPi = float(cg::TwoPi);
const float kNan = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

TEST(Wrap, IntoHalfOpenRange) {
    struct Case {
        float value, lo, hi, expected;
    } const cases[] = {
        {-1.0f, 0.0f, kTwoPi, kTwoPi - 1.0f},
        {7.0f, 0.0f, kTwoPi, 7.0f - kTwoPi},
        {kTwoPi, 0.0f, kTwoPi, 0.0f},
        {3.0f, 0.0f, kTwoPi, 3.0f},
        {0.0f, 0.0f, kTwoPi, 0.0f},
        {-kTwoPi, 0.0f, kTwoPi, kTwoPi}, // exact negative multiples give hi
        {25.0f, 10.0f, 20.0f, 15.0f},
        {5.0f, 10.0f, 20.0f, 15.0f},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(cg::Wrap(c.value, c.lo, c.hi), c.expected, 1e-5f) << c.value;
    }
}

TEST(Wrap, NonFiniteValuesAndEmptyRangesGiveLo) {
    for (float value : {kNan, kInf, -kInf}) {
        EXPECT_EQ(cg::Wrap(value, 1.0f, 2.0f), 1.0f);
    }
    EXPECT_EQ(cg::Wrap(5.0f, 1.0f, 1.0f), 1.0f);
    EXPECT_EQ(cg::Wrap(5.0f, 1.0f, kInf), 1.0f);
    EXPECT_EQ(cg::Wrap(5.0f, 1.0f, kNan), 1.0f);
    for (float value : {1e30f, -1e30f, std::numeric_limits<float>::max()}) {
        const float wrapped = cg::Wrap(value, 0.0f, kTwoPi);
        EXPECT_GE(wrapped, 0.0f);
        EXPECT_LE(wrapped, kTwoPi);
    }
}

TEST(Normalize, TurnsHeadingAndClampsPitch) {
    const float pi = std::numbers::pi_v<float>;
    struct Case {
        cg::cp<float> view;
        float limit;
        cg::cp<float> expected;
    } const cases[] = {
        {{-pi / 2, 1.2f}, 0.5f, {3 * pi / 2, 0.5f}},
        {{kTwoPi, -2.0f}, pi / 2, {kTwoPi, -pi / 2}},
        {{0.0f, 0.3f}, 0.5f, {0.0f, 0.3f}},
        {{20.0f, 0.0f}, 0.5f, {20.0f - 3 * kTwoPi, 0.0f}},
        {{-20.0f, 0.0f}, 0.5f, {4 * kTwoPi - 20.0f, 0.0f}},
        {{1000.0f, 0.0f}, 0.5f, {float(std::fmod(1000.0, cg::TwoPi)), 0.0f}},
        {{-1000.0f, 0.0f}, 0.5f, {float(cg::TwoPi - std::fmod(1000.0, cg::TwoPi)), 0.0f}},
        {{kNan, kNan}, 0.5f, {0.0f, 0.0f}},
        {{kInf, -kInf}, 0.5f, {0.0f, 0.0f}},
        {{-kInf, 0.2f}, 0.5f, {0.0f, 0.2f}},
    };
    for (const Case& c : cases) {
        cg::cp<float> view = c.view;
        cg::Normalize(view, c.limit);
        EXPECT_NEAR(view.heading, c.expected.heading, 1e-3f) << c.view.heading;
        EXPECT_FLOAT_EQ(view.pitch, c.expected.pitch) << c.view.pitch;
    }
}

// Values at which subtracting 2 pi no longer changes a float, or just beyond the point where
// the reduction switches from turns to fmod: the result is always a heading in [0, 2 pi].
TEST(Normalize, EndsInRangeForAnyHeading) {
    const float headings[] = {
        134217728.0f,
        -134217728.0f,
        1e30f,
        -1e30f,
        std::numeric_limits<float>::max(),
        -std::numeric_limits<float>::max(),
        float(cg::LongestUnrolledHeading),
        std::nextafter(float(cg::LongestUnrolledHeading), kInf),
        -1e-30f,
        2e8f,
    };
    for (float heading : headings) {
        cg::cp<float> view{heading, 0.0f};
        cg::Normalize(view, 1.0f);
        EXPECT_GE(view.heading, 0.0f) << heading;
        EXPECT_LE(view.heading, kTwoPi) << heading;
    }
}

} // namespace
