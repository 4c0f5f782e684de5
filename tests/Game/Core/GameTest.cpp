#include "support/GameFixture.h"

#include <boost/random/mersenne_twister.hpp>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

using GameTest = test::GameFixture;

// Built at 2^31 ms of uptime, across the 2^32 wrap of a 32-bit tick count, and at 1.7e9 ms:
// every millisecond is one step of Time.
TEST_F(GameTest, TimeKeepsMillisecondStepsWhateverTheUptime) {
    for (std::uint64_t start :
         {std::uint64_t{1} << 31, (std::uint64_t{1} << 32) - 2, std::uint64_t{1700000000}}) {
        ticks_ = start;
        Game fresh(Game::Environment{[this] { return ticks_.load(); }, {}});
        EXPECT_EQ(fresh.Time(), 0.0f);
        for (int ms = 1; ms <= 4; ++ms) {
            Advance(1);
            EXPECT_EQ(fresh.Time(), static_cast<float>(ms)) << "start " << start;
        }
    }
}

TEST_F(GameTest, GameClockRunsBetweenStartAndStop) {
    const auto after = [this](std::uint64_t ms) {
        Advance(ms);
        game().UpdateClock();
        return game().GameTime();
    };
    game().RestartClock();
    EXPECT_EQ(after(100), 100.0f);
    game().SetClockRunning(false);
    EXPECT_EQ(after(1900), 100.0f);
    game().SetClockRunning(true);
    EXPECT_EQ(after(3000), 3100.0f);
    // Starting a running clock re-bases it on the last frame: the time since that frame is
    // not counted.
    Advance(500);
    game().SetClockRunning(true);
    EXPECT_EQ(after(40), 3140.0f);
    game().RestartClock();
    EXPECT_EQ(after(5), 5.0f);
}

// Rand is the twister seeded with 4357 * 69069^(j+1), times 2^-32; on the draw that rounds
// to 1.0 Dice answers its top, never one past it.
TEST_F(GameTest, RandRepeatsTheSequenceOfSeed4357AndDiceStaysInRange) {
    std::vector<std::uint32_t> state;
    std::uint32_t word = 4357;
    for (int j = 0; j < 624; ++j) {
        state.push_back(word *= 69069u);
    }
    auto first = state.begin();
    boost::random::mt19937 reference(first, state.end());
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(game().Rand(), static_cast<float>(reference() * 0x1p-32)) << "draw " << i;
    }
    for (int i = 0; i < 1000; ++i) {
        const int d = game().Dice(1, 6);
        ASSERT_TRUE(d >= 1 && d <= 6) << d;
    }
    // Draw 8948273 of the sequence is at least 2^32 - 128, so Rand answers 1.0.
    for (int i = 3000; i < 8948272; ++i) {
        game().Rand();
    }
    EXPECT_EQ(game().Dice(1, 6), 6);
}

TEST_F(GameTest, SkyTurnsWithTheClampedSpeedUnlessControlled) {
    struct {
        float given, stored;
    } const speeds[] = {{0.0f, 0.00000001f}, {-1.0f, 0.00000001f}, {1.0f, 0.01f}, {0.001f, 0.001f}};
    for (const auto& s : speeds) {
        game().SetSpeed(s.given);
        Advance(1000);
        const double expected =
            std::fmod(double{s.stored} * double{game().Time()}, 2 * std::numbers::pi);
        EXPECT_NEAR(game().SkyRotation(), expected, 1e-5) << "speed " << s.given;
    }
    game().SetControl(1);
    EXPECT_EQ(game().SkyRotation(), 0.0f);
    game().SetControl(0);
    EXPECT_NE(game().SkyRotation(), 0.0f);

    // After ten hours of play a frame still turns it smoothly.
    game().SetSpeed(0.01f);
    Advance(36000000 - static_cast<std::uint64_t>(game().Time()));
    const float a = game().SkyRotation();
    Advance(16);
    EXPECT_NEAR(game().SkyRotation() - a, 0.16, 1e-4);
}

// A slot number a script got wrong answers an empty slot and logs one line per question;
// a script error is logged with the interpreter's message, then as its three lines, and the
// game goes on.
TEST_F(GameTest, BadSlotsAndScriptErrorsAreLogged) {
    NewLogLines();
    for (int bad : {0, 7, -1}) {
        EXPECT_EQ(game().SavePart(bad) + " " + std::to_string(game().SaveTime(bad)),
                  "empty 0.000000");
    }
    EXPECT_EQ(NewLogLines().size(), 6u);
    game().RunScript("this is not lua");
    game().RunScript("vars = 7");
    EXPECT_EQ(NewLogLines(),
              (std::vector<std::string>{
                  "Lua error: [string \"this is not lua\"]:1: '=' expected near 'is'",
                  "LUA: Syntax error", "Message: Execute - load failed", "Code: this is not lua"}));
    EXPECT_EQ(Eval("vars"), "7");
}

} // namespace
