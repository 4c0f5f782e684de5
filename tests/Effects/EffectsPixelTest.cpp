#include "EffectsGlFixture.h"
#include "Platform/Gfx/Math.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Texture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

using fxtest::EffectsGl;

constexpr int kW = 1024, kH = 768;

std::vector<uint32_t> Read(Gfx::Device& device, const std::shared_ptr<Gfx::Texture>& texture) {
    std::shared_ptr<Gfx::Surface> surface;
    EXPECT_EQ(texture->GetSurfaceLevel(0, surface), Gfx::kOk);
    std::vector<uint32_t> texels;
    EXPECT_EQ(device.ReadRenderTarget(*surface, texels), Gfx::kOk);
    return texels;
}

// One pass of the shipped blur on grey levels: taps two texels apart, edges clamped, the
// result stored in 8 bits like the render target does.
std::vector<int> BlurPass(const std::vector<int>& in, int dx, int dy) {
    const double weights[5] = {0.227027, 0.1945946, 0.1216216, 0.054054, 0.016216};
    std::vector<int> out(in.size());
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            double sum = in[size_t(y) * kW + x] * weights[0];
            for (int i = 1; i < 5; ++i) {
                for (int sign : {-1, 1}) {
                    const int sx = std::clamp(x + sign * 2 * i * dx, 0, kW - 1);
                    const int sy = std::clamp(y + sign * 2 * i * dy, 0, kH - 1);
                    sum += in[size_t(sy) * kW + sx] * weights[i];
                }
            }
            out[size_t(y) * kW + x] = int(std::lround(sum));
        }
    }
    return out;
}

// The blur filters the source across into target A, then A down into target B.
TEST_F(EffectsGl, BlurPingPongsThroughItsTargets) {
    BuildEffects();
    std::shared_ptr<Gfx::Texture> screen;
    ASSERT_EQ(device_->SetRenderTarget(0, Target(screen)), Gfx::kOk);
    ASSERT_EQ(device_->Clear(0xFF000000), Gfx::kOk);
    const auto white = MakeTexture(8, 8, std::vector<uint32_t>(64, 0xFFFFFFFF));
    const Gfx::Vector3 at{500, 380, 0};
    ASSERT_EQ(sprite_->Begin(0), Gfx::kOk);
    ASSERT_EQ(sprite_->Draw(white, nullptr, nullptr, &at, 0xFFFFFFFF), Gfx::kOk);
    ASSERT_EQ(sprite_->End(), Gfx::kOk);

    Effect::Blur& blur = effects().blur_;
    blur.SetSource(screen);
    EXPECT_TRUE(!blur.TargetA() && !blur.TargetB()) << "no targets before the passes run";
    Effect::FullScreen::Apply(blur);
    const auto targetA = blur.TargetA(), targetB = blur.TargetB();
    ASSERT_TRUE(targetA && targetB);
    for (int frame = 0; frame < 2; ++frame) {
        Effect::FullScreen::Apply(blur);
    }
    // Later frames reuse the targets the first one made.
    EXPECT_EQ(blur.TargetA(), targetA);
    EXPECT_EQ(blur.TargetB(), targetB);

    std::vector<int> source(size_t(kW) * kH, 0);
    for (int y = 380; y < 388; ++y) {
        for (int x = 500; x < 508; ++x) {
            source[size_t(y) * kW + x] = 255;
        }
    }
    const std::vector<int> expectedA = BlurPass(source, 1, 0);
    const std::vector<int> expectedB = BlurPass(expectedA, 0, 1);
    const std::vector<uint32_t> a = Read(*device_, blur.TargetA());
    const std::vector<uint32_t> b = Read(*device_, blur.TargetB());
    ASSERT_EQ(a.size(), source.size());
    ASSERT_EQ(b.size(), source.size());
    int worst = 0;
    for (size_t i = 0; i < source.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            worst = std::max(worst, std::abs(int((a[i] >> shift) & 0xFF) - expectedA[i]));
            worst = std::max(worst, std::abs(int((b[i] >> shift) & 0xFF) - expectedB[i]));
        }
    }
    EXPECT_LE(worst, 2);
    EXPECT_GT(expectedB[size_t(383) * kW + 503], 100);
}

// A cube map whose faces have four quadrants of their own colours, looked at through each
// face: every quadrant shows where it belongs, so no face is upside down or mirrored.
TEST_F(EffectsGl, CubeMapShowsEveryFaceTheRightWayUp) {
    constexpr uint32_t kSize = 64;
    auto colour = [](int face, int quadrant) {
        return 0xFF000000u | uint32_t((face + 1) * 36) << 16 | uint32_t((quadrant + 1) * 60) << 8 |
               0x80u;
    };
    std::vector<uint32_t> texels;
    for (int face = 0; face < 6; ++face) {
        for (uint32_t y = 0; y < kSize; ++y) {
            for (uint32_t x = 0; x < kSize; ++x) {
                texels.push_back(colour(face, (y >= kSize / 2 ? 2 : 0) + (x >= kSize / 2 ? 1 : 0)));
            }
        }
    }
    std::string payload(texels.size() * 4, '\0');
    std::memcpy(payload.data(), texels.data(), payload.size());
    tree_.AddLoose("gfx/pano/test.dds",
                   gfxtest::MakeDds(kSize, kSize, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u,
                                    payload, 0xFE00));
    BuildEffects();

    const struct {
        Gfx::Vector3 direction, up;
    } faces[6] = {
        {{1, 0, 0}, {0, 1, 0}},  {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, -1}},
        {{0, -1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}},
    };
    ASSERT_EQ(
        device_->SetTransform(Gfx::TransformKind::Projection,
                              Gfx::MatrixPerspectiveFovLH(1.5707964f, 4.0f / 3.0f, 0.1f, 10.0f)),
        Gfx::kOk);
    for (int face = 0; face < 6; ++face) {
        ASSERT_EQ(device_->SetTransform(
                      Gfx::TransformKind::View,
                      Gfx::MatrixLookAtLH({0, 0, 0}, faces[face].direction, faces[face].up)),
                  Gfx::kOk);
        ASSERT_EQ(device_->Clear(0xFF000000), Gfx::kOk);
        effects().cubemap_.Apply("gfx/pano/test.dds");
        const std::vector<uint32_t> frame = ReadBackBuffer();
        ASSERT_EQ(frame.size(), size_t(kW) * kH);
        const int points[4][2] = {{362, 234}, {662, 234}, {362, 534}, {662, 534}};
        for (int q = 0; q < 4; ++q) {
            EXPECT_EQ(frame[size_t(points[q][1]) * kW + points[q][0]] & 0xFFFFFF,
                      colour(face, q) & 0xFFFFFF)
                << "face " << face << " quadrant " << q;
        }
    }
}

} // namespace
