#include "AudioTestSupport.h"
#include "Platform/Audio/Device.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using namespace Audio;

// A stereo 16-bit buffer of `frames` frames holding a distinct value in every sample.
std::vector<std::int16_t> Pattern(std::size_t frames) {
    std::vector<std::int16_t> s(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        s[2 * i] = static_cast<std::int16_t>(i * 7 % 20000 - 10000);
        s[2 * i + 1] = static_cast<std::int16_t>(-(static_cast<int>(i) * 13 % 30000) + 15000);
    }
    return s;
}

TEST(AudioMix, UnityGainCopiesBitExactThenStopsWithSilence) {
    auto device = test::ManualDevice();
    const auto pattern = Pattern(3000);
    auto buffer = test::MakeBuffer(*device, 0x82, 12000);
    test::Write(*buffer, 0, test::Samples(pattern));
    ASSERT_EQ(Ok, buffer->Play(0, 0, 0));
    const auto out = test::Render(*device, 4000);
    EXPECT_EQ(pattern, std::vector<std::int16_t>(out.begin(), out.begin() + 6000));
    EXPECT_EQ(std::vector<std::int16_t>(2000, 0),
              std::vector<std::int16_t>(out.begin() + 6000, out.end()));
}

TEST(AudioMix, VolumeScalesTheAmplitude) {
    struct Case {
        std::int32_t volume;
        double gain;
    };
    const Case cases[] = {
        {0, 1.0}, {-602, 0.50003}, {-798, 0.39902}, {-309, 0.70065}, {-10000, 0.0}};
    for (const Case& c : cases) {
        auto device = test::ManualDevice();
        auto buffer = test::MakeBuffer(*device, 0x82, 400);
        test::Write(*buffer, 0, test::Samples(std::vector<std::int16_t>(200, 20000)));
        ASSERT_EQ(Ok, buffer->SetVolume(c.volume));
        ASSERT_EQ(Ok, buffer->Play(0, 0, 0));
        const auto out = test::Render(*device, 100);
        for (const std::int16_t s : out) {
            ASSERT_NEAR(20000 * c.gain, s, 1.5) << c.volume;
        }
    }
}

TEST(AudioMix, EightBitMonoAndClipping) {
    auto device = test::ManualDevice();
    auto mono8 = test::MakeBuffer(*device, 0x82, 4, 44100, 1, 8);
    test::Write(*mono8, 0, {0x00, 0x80, 0xFF, 0x90});
    ASSERT_EQ(Ok, mono8->Play(0, 0, 0));
    EXPECT_EQ((std::vector<std::int16_t>{-32768, -32768, 0, 0, 32512, 32512, 4096, 4096}),
              test::Render(*device, 4));

    // Two full-scale buffers sum beyond the 16-bit range and clip.
    auto a = test::MakeBuffer(*device, 0x82, 8);
    auto b = test::MakeBuffer(*device, 0x82, 8);
    test::Write(*a, 0, test::Samples({30000, -30000, 20000, 100}));
    test::Write(*b, 0, test::Samples({30000, -30000, -25000, 200}));
    ASSERT_EQ(Ok, a->Play(0, 0, 0));
    ASSERT_EQ(Ok, b->Play(0, 0, 0));
    EXPECT_EQ((std::vector<std::int16_t>{32767, -32768, -5000, 300}), test::Render(*device, 2));
}

TEST(AudioMix, SourceRatesAreInterpolated) {
    auto device = test::ManualDevice();
    auto half = test::MakeBuffer(*device, 0x82, 6, 22050, 1, 16);
    test::Write(*half, 0, test::Samples({0, 1000, 3000}));
    ASSERT_EQ(Ok, half->Play(0, 0, 0));
    // Every source frame spans two output frames; the last holds its value to the end.
    EXPECT_EQ((std::vector<std::int16_t>{0, 0, 500, 500, 1000, 1000, 2000, 2000, 3000, 3000, 3000,
                                         3000, 0, 0}),
              test::Render(*device, 7));
}

// The direction alone sets the gains: no direction at all, or straight up, stays centred.
TEST(AudioMix, PositionPansA3DBufferMixedAsMono) {
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x92, 4 * 64);
    std::vector<std::int16_t> stereo;
    for (int i = 0; i < 64; ++i) {
        stereo.insert(stereo.end(), {12000, 8000});
    }
    test::Write(*buffer, 0, test::Samples(stereo));
    ASSERT_EQ(Ok, buffer->Play(0, 0, PlayLooping));
    const struct {
        float x, y, z;
        std::int16_t left, right;
    } cases[] = {
        {0, 0, 1, 10000, 10000},        {-1, 0, 0, 10000, 0},    {3, 0, 0, 0, 10000},
        {0.5f, 0, 0.866f, 5412, 10000}, {0, 0, 0, 10000, 10000}, {0, 1, 0, 10000, 10000},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Ok, buffer->SetPosition3D(c.x, c.y, c.z, 0));
        const auto out = test::Render(*device, 8);
        EXPECT_NEAR(c.left, out[14], 2) << c.x;
        EXPECT_NEAR(c.right, out[15], 2) << c.x;
    }
}

TEST(AudioMix, WithoutFocusTheOutputIsSilentButPlays) {
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x82, 4000);
    test::Write(*buffer, 0, test::Samples(std::vector<std::int16_t>(2000, 1234)));
    ASSERT_EQ(Ok, buffer->Play(0, 0, PlayLooping));
    device->SetFocused(false);
    EXPECT_EQ(std::vector<std::int16_t>(200, 0), test::Render(*device, 100));
    std::uint32_t play = 0;
    ASSERT_EQ(Ok, buffer->GetCurrentPosition(&play, nullptr));
    EXPECT_EQ(400u, play);
    device->SetFocused(true);
    EXPECT_EQ(std::vector<std::int16_t>(200, 1234), test::Render(*device, 100));
}

TEST(AudioLoss, LostBuffersRefuseUntilRestored) {
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x82, 4000);
    auto other = test::MakeBuffer(*device, 0x82, 4000);
    test::Write(*buffer, 0, test::Samples(std::vector<std::int16_t>(2000, 500)));
    ASSERT_EQ(Ok, buffer->Play(0, 0, PlayLooping));
    device->SimulateLoss(true);

    std::uint32_t status = 0;
    ASSERT_EQ(Ok, buffer->GetStatus(&status));
    EXPECT_EQ(Status::BufferLost, status);
    void* p = nullptr;
    std::uint32_t n = 0;
    EXPECT_EQ(ErrBufferLost, buffer->Lock(0, 4, &p, &n, nullptr, nullptr, 0));
    EXPECT_EQ(ErrBufferLost, buffer->Play(0, 0, 0));
    // A device that never gives the buffers back answers at once, every time, and the
    // output keeps running.
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(ErrBufferLost, buffer->Restore());
        test::Render(*device, 64);
    }
    EXPECT_EQ(ErrBufferLost, other->Restore());

    device->SimulateLoss(false);
    ASSERT_EQ(Ok, buffer->Restore());
    ASSERT_EQ(Ok, buffer->GetStatus(&status));
    EXPECT_EQ(0u, status);
    ASSERT_EQ(Ok, buffer->Play(0, 0, 0));
    EXPECT_EQ(std::vector<std::int16_t>(8, 0), test::Render(*device, 4)); // memory was lost
    EXPECT_EQ(Ok, buffer->Restore());                                     // not lost: nothing
}

} // namespace
