#include "Game/AnimatedValue.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(AnimatedValue, LinearAndSmoothAlongOneMove) {
    const AnimatedValue<> linear{0.0f, 10.0f, 1000.0f, 500.0f};
    const SmoothValue smooth{0.0f, 10.0f, 1000.0f, 500.0f};
    struct {
        float now, linear, smooth;
    } const samples[] = {
        {900.0f, 0.0f, 0.0f},  {1000.0f, 0.0f, 0.0f},   {1125.0f, 2.5f, 1.5625f},
        {1250.0f, 5.0f, 5.0f}, {1500.0f, 10.0f, 10.0f}, {9999.0f, 10.0f, 10.0f},
    };
    for (const auto& s : samples) {
        EXPECT_FLOAT_EQ(linear.Value(s.now), s.linear) << "now " << s.now;
        EXPECT_FLOAT_EQ(smooth.Value(s.now), s.smooth) << "now " << s.now;
    }
    // Value-initialised (0 over 0 would be NaN) or not begun: it stands at `from`.
    EXPECT_EQ(AnimatedValue<>{}.Value(123.0f), 0.0f);
    EXPECT_EQ(SmoothValue{}.Value(123.0f), 0.0f);
    EXPECT_EQ((AnimatedValue<>{3.0f, 10.0f, 0.0f, 500.0f}.Value(1e6f)), 3.0f);
}

TEST(AnimatedValue, RetargetRules) {
    // At time 0 (the first moments after the game is built) the move still runs.
    AnimatedValue<> atZero{};
    atZero.Retarget(10.0f, 0.0f, 100.0f);
    EXPECT_NEAR(atZero.Value(50.0f), 5.0f, 1e-4);
    EXPECT_EQ(atZero.Value(101.0f), 10.0f);

    // Durations of 1 ms or less become 1 ms.
    for (float duration : {0.0f, -5.0f, kNaN}) {
        AnimatedValue<> v{0.0f, 0.0f, 0.0f, 1.0f};
        v.Retarget(4.0f, 2000.0f, duration);
        EXPECT_EQ(v.duration_, 1.0f);
        EXPECT_FLOAT_EQ(v.Value(2001.0f), 4.0f);
    }

    // In mid-move the new move starts where the value stands.
    AnimatedValue<> mid{0.0f, 10.0f, 1000.0f, 100.0f};
    mid.Retarget(0.0f, 1050.0f, 100.0f);
    EXPECT_FLOAT_EQ(mid.Value(1050.0f), 5.0f);
    EXPECT_FLOAT_EQ(mid.Value(1100.0f), 2.5f);

    // A NaN target lasts only until the next retarget.
    AnimatedValue<> v{0.0f, 0.0f, 0.0f, 1.0f};
    v.Retarget(kNaN, 1000.0f, 100.0f);
    EXPECT_TRUE(std::isnan(v.Value(1050.0f)));
    v.Retarget(7.0f, 1200.0f, 100.0f);
    EXPECT_FLOAT_EQ(v.Value(1200.0f), 7.0f);
    EXPECT_FLOAT_EQ(v.Value(1400.0f), 7.0f);
}

} // namespace
