#include "Effects/Dirt.h"

#include "../FileSystem/FileSystemFixture.h"
#include "FileSystem/Locator.h"
#include "support/GameFixture.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Dust without a device: the dust textures are missing from an empty game tree, so the spots
// carry no texture, and only Update and RemoveExpired run.
class DirtTest : public test::GameFixture {
protected:
    DirtTest() { Locator::Instance().Init(tree_.Root().string()); }

    // Counts of (small, large) spots.
    std::pair<int, int> Kinds() const {
        int small = 0, large = 0;
        for (const Dirt::Spot& spot : dirt_.Spots()) {
            (spot.rc.bottom == 128 ? small : large) += 1;
        }
        return {small, large};
    }

    test::GameTree tree_;
    Dirt dirt_;
};

TEST_F(DirtTest, OneSecondGivesThreeSmallSpotsAndOneLarge) {
    dirt_.Update();
    EXPECT_TRUE(dirt_.Spots().empty());
    Advance(1000);
    dirt_.Update();
    EXPECT_EQ(Kinds(), std::make_pair(3, 1));
    const float now = game().Time();
    for (const Dirt::Spot& spot : dirt_.Spots()) {
        EXPECT_EQ(spot.end, now + 50.0f);
        EXPECT_EQ(spot.tex, nullptr);
        EXPECT_GE(spot.dst.x, 0.0f);
        EXPECT_LE(spot.dst.x, 1024.0f);
        EXPECT_GE(spot.dst.y, 0.0f);
        EXPECT_LE(spot.dst.y, 768.0f);
        EXPECT_EQ(spot.dst.z, 0.0f);
    }
}

TEST_F(DirtTest, SpotsLiveUntilTheirEndTimeInclusive) {
    dirt_.Update();
    Advance(1000);
    dirt_.Update();
    const float created = game().Time();
    for (float at : {created, created + 49.0f, created + 50.0f}) {
        dirt_.RemoveExpired(at);
        EXPECT_EQ(dirt_.Spots().size(), 4u) << at - created;
    }
    dirt_.RemoveExpired(created + 51.0f);
    EXPECT_TRUE(dirt_.Spots().empty());
}

TEST_F(DirtTest, ALongPauseDoesNotBurstIntoSpots) {
    dirt_.Update();
    Advance(3600 * 1000);
    dirt_.Update();
    const auto [small, large] = Kinds();
    EXPECT_LE(small, 4);
    EXPECT_LE(large, 2);
    EXPECT_GE(small, 3);
}

TEST_F(DirtTest, QuarterSecondsAccumulateAcrossFrames) {
    dirt_.Update();
    std::vector<int> counts;
    for (int frame = 0; frame < 8; ++frame) {
        Advance(125);
        dirt_.Update();
        counts.push_back(Kinds().first * 10 + Kinds().second);
    }
    // A spot once the accumulator is past its step, never on a frame where it only reaches
    // it: small spots at 375, 625 and 875 ms, large ones at 625 ms (tens: small, ones: large).
    EXPECT_EQ(counts, (std::vector<int>{0, 0, 10, 10, 21, 21, 31, 31}));
}

// The shared generators are the classic twister seeded with 4357, the same sequence the
// game's own random numbers start with; each test runs in a fresh process.
TEST_F(DirtTest, SpotsDrawPositionThenCellFromTheSeededGenerators) {
    Game oracle;
    dirt_.Update();
    Advance(300);
    dirt_.Update();
    ASSERT_EQ(dirt_.Spots().size(), 1u);
    const Dirt::Spot& spot = dirt_.Spots().front();
    const float a = oracle.Rand();
    const float b = oracle.Rand();
    EXPECT_EQ(spot.dst.x, b * 1024.0f);
    EXPECT_EQ(spot.dst.y, a * 768.0f);
    // The cell generator is a separate twister with the same seed: its first draw is the
    // same 32-bit number as the first real draw, so the cell is a's quarter of [0, 1).
    const int k = static_cast<int>(a * 4.0f);
    EXPECT_EQ(spot.rc.left, 128 * k);
    EXPECT_EQ(spot.rc.right, 128 * k + 128);
    EXPECT_EQ(spot.rc.top, 0);
    EXPECT_EQ(spot.rc.bottom, 128);

    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Dirt::RandomReal(), oracle.Rand()) << i;
    }
}

} // namespace
