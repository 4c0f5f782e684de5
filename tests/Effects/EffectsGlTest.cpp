#include "EffectsGlFixture.h"
#include "Game/Exception.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Texture.h"
#include "support/ThrownText.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using fxtest::EffectsGl;

TEST_F(EffectsGl, MissingOrEmptyEffectFilesStopTheSet) {
    auto errorOfNewSet = [] { return test::ThrownText([] { Effects set; }); };
    std::filesystem::remove(tree_.Data() / "effect" / "mask.fx");
    EXPECT_EQ(errorOfNewSet(), "Cannot open effect file 'effect/mask.fx'");
    tree_.AddLoose("effect/mask.fx", "");
    test::LogTail tail;
    EXPECT_EQ(errorOfNewSet(), "HRESULT: -2005529767\n");
    const std::vector<std::string> lines = tail.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "\tAt .\\Effects\\base");
}

// An effect whose program does not compile builds with the set; its first run fails the pass
// with the location, the call and the compiler's log.
TEST_F(EffectsGl, EffectThatDoesNotCompileFailsWhenItFirstRuns) {
    tree_.AddLoose("effect/mask.fx", "@effect 1\n@technique Mask\n@pass\n@vertex\n"
                                     "vec4 VSMain() { return vec4(0.0); }\n@fragment\n"
                                     "vec4 PSMain() { return colour; }\n");
    BuildEffects();
    test::LogTail tail;
    EXPECT_EQ(test::ThrownText([] { Effect::FullScreen::Apply(effects().mask_); }),
              "HRESULT: -2005529767\n");
    const std::vector<std::string> lines = tail.Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "\tAt .\\Effects\\base");
    EXPECT_EQ(lines[1], "\tOn effect_->BeginPass( uiPass )");
    EXPECT_EQ(lines[2].rfind("technique Mask: fragment stage", 0), 0u) << lines[2];
}

// The lines and the snow take 36 and 4096 numbers of the game's generator at start-up, so the
// scripts' first number is draw 4133 of the seeded sequence.
TEST_F(EffectsGl, StartupTakesTheGameRandomNumbersAsFixed) {
    Game oracle;
    std::vector<float> draws;
    for (int i = 0; i < 4133; ++i) {
        draws.push_back(oracle.Rand());
    }
    BuildEffects();
    EXPECT_EQ(game().Rand(), draws[4132]);

    const auto& lines = effects().lines_.Records();
    EXPECT_EQ(lines[0].x, 1.6f * draws[0] - 0.8f);
    EXPECT_EQ(lines[0].phase, 6.2831854820251465f * draws[1]);
    EXPECT_EQ(lines[11].period, 5000.0f * draws[35] + 1000.0f);
    const auto& vtx = Effect::Snow::Vertices();
    EXPECT_EQ(vtx[0].w, draws[36]);
    EXPECT_EQ(vtx[3].x, 2 * draws[39] - 1);
}

TEST_F(EffectsGl, LossAndResetRemakeTheDeviceObjectsAndLeaveTheDust) {
    BuildEffects();
    Effects& set = effects();
    set.dirt_.Update();
    ticks_ += 1000;
    set.dirt_.Update();
    ASSERT_EQ(set.dirt_.Spots().size(), 4u);
    for (int cycle = 0; cycle < 3; ++cycle) {
        // The targets and the video texture are made when first used, and then kept.
        EXPECT_TRUE(!set.blur_.TargetB() && !set.bloom_.TargetB() && !set.video_.VideoTexture());
        Effect::FullScreen::Apply(set.blur_);
        ASSERT_NE(set.blur_.TargetB(), nullptr);
        ASSERT_NE(set.bloom_.TargetSurface(), nullptr);
        EXPECT_EQ(set.bloom_.TargetSurface()->GetTexture(), set.bloom_.TargetB());
        ASSERT_NE(set.video_.VideoSurface(), nullptr);
        Gfx::SurfaceDesc desc;
        ASSERT_EQ(set.video_.VideoTexture()->GetLevelDesc(0, desc), Gfx::kOk);
        EXPECT_EQ(desc.usage, Gfx::UsageDynamic);
        EXPECT_EQ(set.video_.VideoSurface()->GetTexture(), set.video_.VideoTexture());
        set.OnLostDevice();
        EXPECT_TRUE(!set.blur_.TargetA() && !set.blur_.TargetB() && !set.bloom_.TargetB() &&
                    !set.video_.VideoTexture());
        EXPECT_EQ(set.dirt_.Spots().size(), 4u);
        set.OnResetDevice();
    }
}

// Every shipped effect compiles with the techniques and pass counts the engine runs, and runs
// its passes on the device; the dust textures are missing from this tree, so the spots carry
// none and draw nothing.
TEST_F(EffectsGl, EveryShippedEffectRuns) {
    BuildEffects();
    Effects& set = effects();
    const struct {
        const Effect::Base& effect;
        const char* technique;
        unsigned passes;
    } cases[] = {
        {set.oldcinema_, "clean", 1}, {set.oldcinema_, "cinema", 1}, {set.mask_, "Mask", 1},
        {set.blur_, "Blur", 2},       {set.bloom_, "Bloom", 2},      {set.lines_, "Lines", 1},
        {set.cubemap_, "Cubemap", 1}, {set.video_, "Video", 1},      {set.snow_, "Snow", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.effect.effect()->PassCount(c.technique), c.passes) << c.technique;
    }
    std::shared_ptr<Gfx::Texture> screen;
    ASSERT_TRUE(Target(screen));
    set.blur_.SetSource(screen);
    set.bloom_.SetSource(screen);
    ASSERT_EQ(device_->BeginScene(), Gfx::kOk);
    Effect::FullScreen::Apply(set.blur_);
    Effect::FullScreen::Apply(set.bloom_);
    ASSERT_EQ(device_->SetRenderTarget(0, device_->BackBuffer()), Gfx::kOk);
    for (const char* technique : {"cinema", "clean"}) {
        auto effect = set.oldcinema_.effect();
        ASSERT_EQ(effect->SetTechnique(technique), Gfx::kOk);
        ASSERT_EQ(effect->SetTexture("ScreenTex", screen), Gfx::kOk);
        ASSERT_EQ(effect->SetTexture("BlurTex", set.blur_.TargetB()), Gfx::kOk);
        ASSERT_EQ(effect->SetFloat("Gamma", 1.0f), Gfx::kOk);
        Effect::FullScreen::Apply(set.oldcinema_);
    }
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(sprite_->Begin(Gfx::SpriteAlphaBlend), Gfx::kOk);
        set.dirt_.Render();
        ASSERT_EQ(sprite_->End(), Gfx::kOk);
        ticks_ += 1000;
    }
    EXPECT_FALSE(set.dirt_.Spots().empty());
    set.lines_.RunPasses();
    Effect::FullScreen::Apply(set.mask_);
    set.cubemap_.Apply("gfx/none.dds");
    Effect::FullScreen::Apply(set.video_);
    set.snow_.RunPasses();
    EXPECT_EQ(device_->EndScene(), Gfx::kOk);
}

// Touching hands the texture to the device once; an empty or missing path does no harm.
TEST_F(EffectsGl, TouchLoadsTexturesOntoTheDevice) {
    tree_.AddLoose("gfx/a.dds", gfxtest::MakeArgbDds(4, 4, std::vector<uint32_t>(16, 0xFF00FF00)));
    tree_.AddLoose("gfx/cube.dds",
                   gfxtest::MakeDds(4, 4, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u,
                                    std::string(6 * 16 * 4, '\x7F'), 0xFE00));
    TexMgr& manager = GetTexMgr();
    EXPECT_NO_THROW(manager.TouchSimple("gfx/a.dds"));
    EXPECT_NO_THROW(manager.TouchPano("gfx/cube.dds"));
    EXPECT_NO_THROW(manager.TouchSimple(""));
    EXPECT_NO_THROW(TouchSimple("gfx/missing.dds"));
    EXPECT_NE(Simple("gfx/a.dds"), nullptr);
    EXPECT_NE(Pano("gfx/cube.dds"), nullptr);
}

} // namespace
