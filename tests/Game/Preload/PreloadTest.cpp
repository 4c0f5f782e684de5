#include "Game/PreloadProgress.h"
#include "PreloadFixture.h"
#include "States/Loading.h"
#include "support/GameFixture.h"

#include <cmath>
#include <system_error>

namespace {

using test::PreloadMap;
using test::PreloadPart;
using Calls = std::vector<std::string>;

// Parts whose loading and start states are not defined, so that no move activates anything:
// each test starts the preload itself, as the loading screen's activation would. "intro" is
// the autoload part.
class PreloadTest : public test::GameFixture {
protected:
    PreloadTest() : target_(&map_) {
        opts().nomultithread_ = true;
        map_.SetPreloadTarget(&target_);
    }

    void Load(const std::string& extraParts = "") {
        map_.Load(PreloadMap("intro",
                             PreloadPart("intro", "l_none", "s_none", {"title"}, {}) +
                                 PreloadPart("A", "l_a", "a1", {"a1", "a2"}, {"s2.ogg", "s1.ogg"}) +
                                 PreloadPart("B", "l_b", "b1", {"b1"}, {}) + extraParts));
        // The autoload part was queued by the load; its preload runs on activation.
        map_.StartPreload();
        map_.TakeLoadedFlag();
        NewLogLines();
    }

    // The calls the next preload makes.
    Calls Preload() {
        const std::size_t before = target_.Calls().size();
        map_.StartPreload();
        const Calls all = target_.Calls();
        return Calls(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    }

    float PlayTimeAfter(std::uint64_t ms) {
        Advance(ms);
        game().UpdateClock();
        return game().GameTime();
    }

    Map& map_ = game().map_;
    test::RecordingTarget target_;
};

// The autoload part is loaded without becoming the game's part: its textures are loaded,
// nothing is queued for unloading afterwards and the game clock stays stopped.
TEST_F(PreloadTest, AutoloadPartLoadsWithoutBecomingTheGamesPart) {
    Load();
    EXPECT_EQ(target_.Calls(), (Calls{"evict", "load title.png"}));
    EXPECT_EQ(map_.PartName(), "");
    EXPECT_EQ(PlayTimeAfter(500), 0.0f);

    map_.LoadPart("A", false);
    const Calls calls = Preload();
    EXPECT_EQ(calls.front(), "evict") << "nothing of the autoload part is released";
}

// The order of work: releases of the part left, the eviction, then the new part's textures
// in resource order and its sounds in source order, each step counted. A part loaded
// already is not loaded again: nothing queued counts 0 steps, answers progress 1 (never
// NaN) and still raises the flag.
TEST_F(PreloadTest, OrderOfWorkAndCounters) {
    EXPECT_EQ(map_.GetProgress(), 0.0f) << "before the first preload";
    Load();
    map_.LoadPart("A", false);
    EXPECT_EQ(map_.Next(), "a1");
    EXPECT_EQ(map_.PartName(), "A");
    EXPECT_EQ(Preload(),
              (Calls{"evict", "load a1.png", "load a2.png", "sound s1.ogg", "sound s2.ogg"}));
    const std::vector<float> progress = target_.Progress();
    EXPECT_EQ(std::vector<float>(progress.end() - 4, progress.end()),
              (std::vector<float>{0.0f, 0.25f, 0.5f, 0.75f}));
    EXPECT_EQ(map_.GetProgress(), 1.0f);
    EXPECT_TRUE(map_.TakeLoadedFlag());
    EXPECT_FALSE(map_.TakeLoadedFlag()) << "the flag is taken once";
    EXPECT_GT(PlayTimeAfter(500), 0.0f) << "a game part under way starts the clock";

    map_.LoadPart("B", false);
    EXPECT_EQ(Preload(), (Calls{"release a1.png", "release a2.png", "evict", "load b1.png"}));
    EXPECT_EQ(map_.PartName(), "B");
    EXPECT_EQ(map_.CountResources({"A", "B", "nothing"}), 5);
    map_.TakeLoadedFlag();

    map_.LoadPart("B", false);
    EXPECT_EQ(Preload(), (Calls{"evict"}));
    EXPECT_EQ(map_.GetProgress(), 1.0f);
    EXPECT_TRUE(map_.TakeLoadedFlag());
}

// The figure a loading bar is drawn from stays within 0..1 whatever the counts say.
TEST(PreloadProgressTest, CountIsClampedToItsTotal) {
    PreloadProgress progress;
    EXPECT_EQ(progress.Fraction(), 0.0f) << "before the first pass";
    progress.Begin(2);
    for (int i = 0; i < 3; ++i) {
        progress.Step();
    }
    EXPECT_EQ(progress.Fraction(), 1.0f) << "a step past the total";
    progress.ResetDone();
    EXPECT_EQ(progress.Fraction(), 0.0f);
    progress.Begin(0);
    EXPECT_EQ(progress.Fraction(), 1.0f) << "a pass with nothing to do";
}

// With `noload` only the sounds are counted and loaded; no texture is touched.
TEST_F(PreloadTest, NoloadCountsAndLoadsOnlySounds) {
    Load();
    opts().noload_ = true;
    map_.LoadPart("A", false);
    EXPECT_EQ(map_.CountResources({"A"}), 2);
    EXPECT_EQ(Preload(), (Calls{"evict", "sound s1.ogg", "sound s2.ogg"}));
    map_.LoadPart("B", false);
    EXPECT_EQ(Preload(), (Calls{"evict"}));
}

// A texture or a sound that fails is logged and counted, and the load goes on to the end.
// An error outside a resource ends the preload: logged, no flag, the lists kept, so the next
// activation loads the part.
TEST_F(PreloadTest, FailuresAreLoggedAndNeverStallTheLoad) {
    Load();
    target_.failing_ = {"a1.png", "s2.ogg"};
    target_.evictFailure_ = true;
    map_.LoadPart("A", false);
    NewLogLines();
    EXPECT_EQ(Preload(), (Calls{"evict"}));
    EXPECT_EQ(NewLogLines(), (Calls{"Cannot open 'evict'"}));
    EXPECT_FALSE(map_.TakeLoadedFlag());
    target_.evictFailure_ = false;
    EXPECT_EQ(Preload().size(), 5u);
    EXPECT_EQ(NewLogLines(), (Calls{"Failed to load texture 'a1.png': Cannot open 'a1.png'",
                                    "Failed to load sound 's2.ogg': Cannot open 's2.ogg'"}));
    EXPECT_EQ(map_.GetProgress(), 1.0f);
    EXPECT_TRUE(map_.TakeLoadedFlag());
}

// A pass whose decoding threads cannot start decodes on the worker itself: one line says so,
// every step is taken in its order and the part is ready.
TEST_F(PreloadTest, DecodingThreadsThatCannotStartStillLoadThePart) {
    Load();
    opts().nomultithread_ = false;
    map_.SetDecodeThreadStarter([](const std::function<void()>&) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                                "no threads");
    });
    map_.LoadPart("A", false);
    NewLogLines();
    map_.Preload();
    EXPECT_EQ(target_.Calls(), (Calls{"evict", "load title.png", "evict", "load a1.png",
                                      "load a2.png", "sound s1.ogg", "sound s2.ogg"}));
    EXPECT_EQ(NewLogLines(), (Calls{"Cannot start a decoding thread (no threads: Resource "
                                    "temporarily unavailable); pictures are decoded on the "
                                    "preload worker"}));
    EXPECT_TRUE(map_.TakeLoadedFlag());
}

// Unknown parts and parts without loading or start state are refused with their log lines.
TEST_F(PreloadTest, RefusedParts) {
    Load(R"(<part name="noload" start="s" load="" effect="e"><sounds/><textures/></part>)"
         R"(<part name="nostart" start="" load="l" effect="e"><sounds/><textures/></part>)");
    const struct {
        const char* part;
        Calls log;
    } cases[] = {
        {"zz", {"Part 'zz' not found", "Part not found"}},
        {"noload", {"Part loading screen is empty"}},
        {"nostart", {"Part start screen is empty"}},
    };
    for (const auto& c : cases) {
        map_.LoadPart(c.part, false);
        EXPECT_EQ(NewLogLines(), c.log) << c.part;
        EXPECT_EQ(map_.PartName(), "") << c.part;
    }
    EXPECT_EQ(Preload(), (Calls{"evict"})) << "nothing was queued";
}

// The real road: the autoload part's loading screen becomes current at the map's load, its
// activation runs the preload (inline here) and answers false: its own "activate" sees
// is_active false and its controls get no "activate". The frame's "Map" stage moves on.
TEST_F(PreloadTest, LoadingScreenActivationStartsThePreload) {
    game().lua_.Execute("seen = ''");
    map_.Load(PreloadMap(
        "intro", R"(<part name="intro" start="menu" load="l_intro" effect="clean"><sounds/>)"
                 R"(<textures/><screen name="menu" src="menu.png"/>)"
                 R"(<loading name="l_intro" src="loading.png"><event name="activate">)"
                 R"(seen = seen .. 'L:' .. tostring(is_active())</event><zone x="0" y="0")"
                 R"( w="10" h="10"><event name="activate">seen = seen .. ' zone'</event></zone>)"
                 R"(</loading></part>)"));
    EXPECT_EQ(map_.Current(), "l_intro");
    EXPECT_FALSE(map_.GetState("l_intro")->IsActive());
    EXPECT_EQ(Eval("seen"), "L:false");
    EXPECT_EQ(target_.Calls(), (Calls{"evict", "load menu.png", "load loading.png"}));
    map_.Update();
    EXPECT_NE(map_.Current(), "l_intro");
    EXPECT_NE(map_.Current().find("menu"), std::string::npos)
        << "the move goes to the start state (through its transition)";
}

} // namespace
