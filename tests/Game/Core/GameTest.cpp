#include "support/GameFixture.h"

#include <boost/random/mersenne_twister.hpp>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

class GameTest : public test::GameFixture {};

TEST_F(GameTest, TimeKeepsMillisecondStepsWhateverTheUptime) {
    // Built at 2^31 ms of uptime, then across the 2^32 wrap of a 32-bit tick count, and at
    // 1.7e9 ms: every millisecond is one step of Time.
    for (std::uint64_t start :
         {std::uint64_t{1} << 31, (std::uint64_t{1} << 32) - 2, std::uint64_t{1700000000}}) {
        ticks_ = start;
        Game fresh(Game::Environment{[this] { return ticks_.load(); }, {}});
        EXPECT_EQ(fresh.Time(), 0.0f);
        for (int ms = 1; ms <= 4; ++ms) {
            Advance(1);
            EXPECT_EQ(fresh.Time(), static_cast<float>(ms)) << "start " << start;
        }
        Advance(12);
        EXPECT_EQ(fresh.Time(), 16.0f);
    }
}

TEST_F(GameTest, GameClockRunsBetweenStartAndStop) {
    game().RestartClock();
    Advance(100);
    game().UpdateClock();
    EXPECT_EQ(game().GameTime(), 100.0f);
    game().SetClockRunning(false);

    // Stopped: frames leave it; a start at Time 2000 continues from 100.
    Advance(1900);
    game().UpdateClock();
    EXPECT_EQ(game().GameTime(), 100.0f);
    game().SetClockRunning(true);
    Advance(3000);
    game().UpdateClock();
    EXPECT_EQ(game().GameTime(), 3100.0f);
    game().SetClockRunning(false);
    Advance(777);
    game().UpdateClock();
    EXPECT_EQ(game().GameTime(), 3100.0f);

    // Starting a running clock re-bases it on the last frame: the time since that frame is
    // not counted.
    game().SetClockRunning(true);
    Advance(10);
    game().UpdateClock();
    Advance(500);
    game().SetClockRunning(true);
    Advance(40);
    game().UpdateClock();
    EXPECT_EQ(game().GameTime(), 3150.0f);

    game().RestartClock();
    Advance(5);
    game().UpdateClock();
    EXPECT_EQ(game().GameTime(), 5.0f);
}

TEST_F(GameTest, RandRepeatsTheSequenceOfSeed4357) {
    // The first outputs of the twister seeded with 4357 * 69069^(j+1), times 2^-32.
    const float expected[] = {0x1.ff84eap-1f, 0x1.054d2cp-1f, 0x1.0d612p-3f};
    for (float e : expected) {
        EXPECT_EQ(game().Rand(), e);
    }

    // The same state given to another implementation of the twister.
    std::vector<std::uint32_t> state;
    std::uint32_t word = 4357;
    for (int j = 0; j < 624; ++j) {
        state.push_back(word *= 69069u);
    }
    auto first = state.begin();
    boost::random::mt19937 reference(first, state.end());
    Game other(Game::Environment{[this] { return ticks_.load(); }, {}});
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(other.Rand(), static_cast<float>(reference() * 0x1p-32)) << "draw " << i;
    }
}

TEST_F(GameTest, DiceStaysInItsRange) {
    for (int i = 0; i < 1000; ++i) {
        const int d = game().Dice(1, 6);
        ASSERT_GE(d, 1);
        ASSERT_LE(d, 6);
        ASSERT_EQ(game().Dice(3, 3), 3);
    }
}

TEST_F(GameTest, DiceOnTheDrawThatRoundsToOneAnswersTheTop) {
    // Draw 8948273 of the fixed sequence is at least 2^32 - 128, so Rand answers 1.0.
    for (int i = 0; i < 8948272; ++i) {
        game().Rand();
    }
    EXPECT_EQ(game().Dice(1, 6), 6);
}

TEST_F(GameTest, SpeedMaskControlAndSky) {
    struct {
        float given;
        float stored;
    } const speeds[] = {{0.0f, 0.00000001f}, {-1.0f, 0.00000001f}, {1.0f, 0.01f}, {0.001f, 0.001f}};
    for (const auto& s : speeds) {
        game().SetSpeed(s.given);
        Advance(1000);
        const double expected =
            std::fmod(double{s.stored} * double{game().Time()}, 2 * std::numbers::pi);
        EXPECT_NEAR(game().SkyRotation(), expected, 1e-5) << "speed " << s.given;
    }

    // control(1) freezes the sky at 0; control(0) jumps back to the time-based angle.
    game().SetSpeed(0.001f);
    game().SetControl(1);
    Advance(1234);
    EXPECT_EQ(game().SkyRotation(), 0.0f);
    game().SetControl(0);
    EXPECT_NE(game().SkyRotation(), 0.0f);

    game().SetMask(5);
    EXPECT_TRUE(game().mask_);
    game().SetMask(0);
    EXPECT_FALSE(game().mask_);
}

TEST_F(GameTest, SkyTurnsSmoothlyAfterHoursOfPlay) {
    game().SetSpeed(0.01f);
    Advance(36000000 - static_cast<std::uint64_t>(game().Time()));
    const float a = game().SkyRotation();
    Advance(16);
    const float b = game().SkyRotation();
    EXPECT_NEAR(b - a, 0.16, 1e-4);
}

TEST_F(GameTest, HaltAndHdrLevel) {
    game().Halt(500);
    EXPECT_EQ(game().haltUntil_, game().Time() + 500.0f);

    // Retargeted at Time 0 (the game was just built), the level still glides.
    EXPECT_EQ(game().HdrLevel(), 0.0f);
    game().SetHdrLevel(2.0f);
    Advance(500);
    EXPECT_FLOAT_EQ(game().HdrLevel(), 1.0f);
    Advance(500);
    EXPECT_FLOAT_EQ(game().HdrLevel(), 2.0f);
    game().SetHdrLevel(0.0f);
    Advance(250);
    EXPECT_FLOAT_EQ(game().HdrLevel(), 1.5f);
}

TEST_F(GameTest, SaveSlotSummaries) {
    for (int i = 1; i <= Game::kSaveSlots; ++i) {
        EXPECT_EQ(game().SavePart(i), "empty");
        EXPECT_EQ(game().SaveTime(i), 0.0f);
    }
    game().SetSaveSlot(6, 1234.5f, "castle");
    game().SetSaveSlot(1, 10.0f, "hall");
    EXPECT_EQ(game().SavePart(6), "castle");
    EXPECT_EQ(game().SaveTime(6), 1234.5f);
    EXPECT_EQ(game().SavePart(1), "hall");
    EXPECT_EQ(game().SavePart(5), "empty");
    NewLogLines();

    // A slot number a script got wrong answers an empty slot and logs one line each.
    for (int bad : {0, 7, -1}) {
        EXPECT_EQ(game().SavePart(bad), "empty");
        EXPECT_EQ(game().SaveTime(bad), 0.0f);
    }
    EXPECT_EQ(NewLogLines().size(), 6u);
    game().lua_.Register("game_save_part", &game(), &Game::SavePart);
    EXPECT_EQ(Eval("game_save_part(7)"), "empty");
}

TEST_F(GameTest, ScriptsTraceAndExit) {
    game().Trace("hello from a script");
    game().RunScript("this is not lua");
    game().RunScript("vars = 7");
    EXPECT_EQ(NewLogLines(), (std::vector<std::string>{"hello from a script", "LUA: Syntax error",
                                                       "Message: Execute - load failed",
                                                       "Code: this is not lua"}));
    EXPECT_EQ(Eval("vars"), "7");

    EXPECT_TRUE(quitCodes_.empty());
    game().Exit();
    EXPECT_EQ(quitCodes_, std::vector<int>{0});
}

} // namespace
