#include "../../Platform/Gfx/GfxTestSupport.h"
#include "ControlProbe.h"
#include "Game/Game.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "States/Controls/Area.h"
#include "States/Controls/AreaPano.h"

#include <algorithm>
#include <cstdlib>
#include <numbers>

namespace {

using State::Control::Area;
using State::Control::AreaPano;
using State::Control::Base;

constexpr uint32_t kBlack = 0xFF000000u;
// The zones' quarter-opaque green over black.
constexpr uint32_t kGreenOnBlack = 0xFF004000u;

int ChannelDiff(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    }
    return worst;
}

// A device on a black frame with the blend state the screens and panoramas set before they
// render their controls, and the "area" debug mode on.
class AreaDrawTest : public gfxtest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        opts().area_ = true;
        ASSERT_EQ(device_->Clear(kBlack), Gfx::kOk);
        ASSERT_EQ(device_->SetRenderState(Gfx::RenderState::SrcBlend, Gfx::BlendSrcAlpha),
                  Gfx::kOk);
        ASSERT_EQ(device_->SetRenderState(Gfx::RenderState::DestBlend, Gfx::BlendInvSrcAlpha),
                  Gfx::kOk);
        ASSERT_EQ(device_->SetRenderState(Gfx::RenderState::AlphaBlendEnable, 1), Gfx::kOk);
    }

    // The panorama's camera: looking along +z with a 90 degree vertical field of view.
    void PanoramaCamera() {
        const Gfx::Matrix projection = Gfx::MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 2.0f,
                                                                   1024.0f / 768.0f, 0.1f, 10.0f);
        ASSERT_EQ(device_->SetTransform(Gfx::TransformKind::Projection, projection), Gfx::kOk);
    }

    template <typename Zone>
    std::shared_ptr<Zone> Make(const std::string& attributes) {
        auto zone = std::make_shared<Zone>();
        Base::LoadCommon(*zone, test::ElementOf("<zone " + attributes + "/>", "zone"));
        return zone;
    }

    static uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) {
        return pixels[std::size_t(y) * 1024 + std::size_t(x)];
    }

    ScopedGlobal<Opts::Data> opts_{g_opts};
    ScopedGlobal<Game> game_{g_game};
};

TEST_F(AreaDrawTest, ScreenZoneShowsItsRectangleInTranslucentGreen) {
    const auto zone = Make<Area>(R"(x="0" y="0" w="512" h="384")");
    zone->RenderOn(*device_);
    // A second frame draws from the same corners.
    zone->RenderOn(*device_);
    const auto pixels = ReadBackBuffer();
    const uint32_t twice = 0xFF007000u; // green over the first green
    EXPECT_LE(ChannelDiff(At(pixels, 100, 100), twice), 1);
    EXPECT_LE(ChannelDiff(At(pixels, 500, 370), twice), 1);
    EXPECT_EQ(At(pixels, 600, 100), kBlack);
    EXPECT_EQ(At(pixels, 100, 500), kBlack);
}

TEST_F(AreaDrawTest, PanoramaZoneShowsAsAFilmAroundTheView) {
    PanoramaCamera();
    // The second zone crosses heading 0 the other way round; both cover the same directions.
    for (const char* pos : {"-0.3,-0.2,0.3,0.2", "6.0,-0.2,0.3,0.2"}) {
        ASSERT_EQ(device_->Clear(kBlack), Gfx::kOk);
        Make<AreaPano>(std::string("pos=\"") + pos + "\"")->RenderOn(*device_);
        const auto pixels = ReadBackBuffer();
        EXPECT_LE(ChannelDiff(At(pixels, 512, 384), kGreenOnBlack), 1) << pos;
        EXPECT_LE(ChannelDiff(At(pixels, 512 - 100, 384 + 60), kGreenOnBlack), 1) << pos;
        EXPECT_EQ(At(pixels, 100, 100), kBlack) << pos;
        // The rectangle ends about 119 pixels left and right of the centre, 81 above and below.
        EXPECT_EQ(At(pixels, 512 - 140, 384), kBlack) << pos;
        EXPECT_EQ(At(pixels, 512, 384 - 100), kBlack) << pos;
    }
}

// Panorama zones of fewer than three vertices draw nothing, nor does any zone outside the
// "area" debug mode.
TEST_F(AreaDrawTest, NothingIsDrawnForFewVerticesOrOutsideTheAreaMode) {
    PanoramaCamera();
    for (const char* pos : {"", "0.1,0.2,0.3", "0,0", "-0.3,-0.2,0.3,0.2,0,0.5,1"}) {
        EXPECT_NO_THROW(Make<AreaPano>(std::string("pos=\"") + pos + "\"")->RenderOn(*device_))
            << pos;
    }
    opts().area_ = false;
    Make<AreaPano>(R"(pos="-0.3,-0.2,0.3,0.2")")->RenderOn(*device_);
    Make<Area>(R"(x="0" y="0" w="1024" h="768")")->RenderOn(*device_);
    const auto pixels = ReadBackBuffer();
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p == kBlack; }));
}

} // namespace
