#include "Game/Engine.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(EngineMath, GammaOfTheFinalPassClampsBrightness) {
    struct Case {
        float brightness, gamma;
    };
    for (const Case& c :
         {Case{0.0f, 5.0f}, Case{0.5f, 1.0f}, Case{1.0f, 1.0f / 1.8f}, Case{2.0f, 1.0f / 1.8f},
          Case{-1.0f, 5.0f}, Case{std::numeric_limits<float>::quiet_NaN(), 1.0f}}) {
        EXPECT_NEAR(Engine::FullWeight(c.brightness), c.gamma, 1e-5f) << c.brightness;
    }
}

// Equal or reversed counter readings (a coarse clock) give 0 instead of a division by zero.
TEST(EngineMath, FrameRateIsZeroUnlessTheCounterAdvanced) {
    struct Case {
        std::int64_t frequency, start, end;
        std::int32_t rate;
    };
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    for (const Case& c :
         {Case{1000000000, 5, 5, 0}, Case{1000000000, 9, 5, 0}, Case{1000000000, 0, 16666667, 59},
          Case{1000, 0, 1, 1000}, Case{kMax, 0, 1, std::numeric_limits<std::int32_t>::max()}}) {
        EXPECT_EQ(Engine::FrameRate(c.frequency, c.start, c.end), c.rate)
            << c.start << " -> " << c.end;
    }
}

} // namespace
