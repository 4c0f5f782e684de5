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

    // Small spots times ten plus large spots.
    int Kinds() const {
        int kinds = 0;
        for (const Dirt::Spot& spot : dirt_.Spots()) {
            kinds += spot.rc.bottom == 128 ? 10 : 1;
        }
        return kinds;
    }

    test::GameTree tree_;
    Dirt dirt_;
};

TEST_F(DirtTest, OneSecondGivesThreeSmallSpotsAndOneLargeLivingFiftySeconds) {
    dirt_.Update();
    Advance(1000);
    dirt_.Update();
    EXPECT_EQ(Kinds(), 31);
    const float now = game().Time();
    for (const Dirt::Spot& spot : dirt_.Spots()) {
        EXPECT_EQ(spot.end, now + 50.0f);
        EXPECT_EQ(spot.tex, nullptr);
        EXPECT_TRUE(spot.dst.x >= 0 && spot.dst.x <= 1024 && spot.dst.y >= 0 && spot.dst.y <= 768 &&
                    spot.dst.z == 0);
    }
    dirt_.RemoveExpired(now + 50.0f); // the end time is inclusive
    EXPECT_EQ(dirt_.Spots().size(), 4u);
    dirt_.RemoveExpired(now + 51.0f);
    EXPECT_TRUE(dirt_.Spots().empty());
}

// A spot once the accumulator is past its step, never on a frame where it only reaches it:
// small spots at 375, 625 and 875 ms, large ones at 625 ms.
TEST_F(DirtTest, QuarterSecondsAccumulateAcrossFrames) {
    dirt_.Update();
    std::vector<int> counts;
    for (int frame = 0; frame < 8; ++frame) {
        Advance(125);
        dirt_.Update();
        counts.push_back(Kinds());
    }
    EXPECT_EQ(counts, (std::vector<int>{0, 0, 10, 10, 21, 21, 31, 31}));
}

TEST_F(DirtTest, ALongPauseDoesNotBurstIntoSpots) {
    dirt_.Update();
    Advance(3600 * 1000);
    dirt_.Update();
    EXPECT_GE(Kinds(), 30);
    EXPECT_LE(Kinds(), 42);
}

// The shared generators are the classic twister seeded with 4357, the same sequence the
// game's own random numbers start with; each test runs in a fresh process. The cell
// generator is a separate twister with the same seed: its first draw is the same number as
// the first position draw, so the cell is a's quarter of [0, 1).
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
