#include "../Effects/EffectsGlFixture.h"
#include "Controls/ControlProbe.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/PngFile.h"
#include "States/Pano.h"
#include "support/Pictures.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstring>

namespace {

using fxtest::EffectsGl;

// A panorama turned to a slanted view draws its cube map (faces of their own colours, shaded
// across) through its camera, and a zone shown in the "area" mode lies where the cube map's
// texels of its corners are. Its bloom cube map is drawn only while a stage samples the bloom
// effect's target, and then into that target only. A panorama with a "back" cube map draws no
// sky of its own.
TEST_F(EffectsGl, PanoramaDrawsItsCubeMapThroughItsCamera) {
    constexpr std::uint32_t kSize = 16;
    std::vector<std::uint32_t> texels;
    for (std::uint32_t face = 0; face < 6; ++face) {
        for (std::uint32_t y = 0; y < kSize; ++y) {
            for (std::uint32_t x = 0; x < kSize; ++x) {
                texels.push_back(0xFF000000u | (face * 40 + 30) << 16 | (x * 15) << 8 | y * 15);
            }
        }
    }
    std::string payload(texels.size() * 4, '\0');
    std::memcpy(payload.data(), texels.data(), payload.size());
    tree_.AddLoose("gfx/pano/cube.dds",
                   gfxtest::MakeDds(kSize, kSize, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u,
                                    payload, 0xFE00));
    BuildEffects();
    opts().area_ = true;

    auto pano = std::make_shared<State::Pano>();
    pano->LoadCommon(
        test::ElementOf(
            R"(<pano name="p" src="gfx/pano/cube.dds" bloom="gfx/pano/cube.dds" fov="70">)"
            R"(<zone pos="0.5,0.1,1.0,0.3"/></pano>)",
            "pano"),
        "p");
    pano->FireStart();
    pano->SetView(0.6f, 0.2f);
    ASSERT_EQ(device_->Clear(0xFF000000), Gfx::kOk);
    pano->Tick();

    const test::TempDir dir;
    ASSERT_TRUE(Gfx::WritePng((dir.Path() / "pano.png").string(), 1024, 768, ReadBackBuffer()));
    EXPECT_TRUE(test::MatchesExpected(dir.Path() / "pano.png",
                                      std::filesystem::path(KV_SOURCE_DIR) /
                                          "tests/States/expected/pano_view.png",
                                      {.channel = 3, .pixels = 40, .scale = 4}));
    EXPECT_FALSE(effects().bloom_.drawn_) << "nothing samples the bloom target";
    EXPECT_FALSE(effects().bloom_.TargetB()) << "nor are its targets made";
    const std::vector<std::uint32_t> unsampled = ReadBackBuffer();
    effects().bloom_.SetSampled(true);
    ASSERT_EQ(device_->Clear(0xFF000000), Gfx::kOk);
    pano->Tick();
    EXPECT_TRUE(effects().bloom_.drawn_);
    EXPECT_EQ(ReadBackBuffer(), unsampled);
    pano->FireStop();

    auto back = std::make_shared<State::Pano>();
    back->LoadCommon(
        test::ElementOf(R"(<pano name="b" src="gfx/pano/cube.dds" back="gfx/pano/cube.dds"/>)",
                        "pano"),
        "p");
    back->FireStart();
    ASSERT_EQ(device_->Clear(0xFF000000), Gfx::kOk);
    back->Tick();
    const std::vector<std::uint32_t> frame = ReadBackBuffer();
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 0xFF000000u), std::ptrdiff_t(frame.size()));
}

} // namespace
