#include "AudioTestSupport.h"
#include "Platform/Audio/Device.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using namespace Audio;

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

// Eight-bit samples are unsigned around 0x80; a mono source feeds both channels; a slower
// rate is interpolated, its last frame held to the end.
TEST(AudioMix, SourceFormatsConvertToTheOutput) {
    const struct {
        std::uint32_t rate;
        std::uint16_t bits;
        std::vector<std::uint8_t> bytes;
        std::vector<std::int16_t> out;
    } cases[] = {
        {44100, 8, {0x00, 0x80, 0xFF, 0x90}, {-32768, -32768, 0, 0, 32512, 32512, 4096, 4096}},
        {22050,
         16,
         test::Samples({0, 1000, 3000}),
         {0, 0, 500, 500, 1000, 1000, 2000, 2000, 3000, 3000, 3000, 3000, 0, 0}},
    };
    for (const auto& c : cases) {
        auto device = test::ManualDevice();
        auto buffer =
            test::MakeBuffer(*device, 0x82, std::uint32_t(c.bytes.size()), c.rate, 1, c.bits);
        test::Write(*buffer, 0, c.bytes);
        ASSERT_EQ(Ok, buffer->Play(0, 0, 0));
        EXPECT_EQ(c.out, test::Render(*device, c.out.size() / 2)) << c.bits;
    }
    // Two full-scale buffers sum beyond the 16-bit range and clip.
    auto device = test::ManualDevice();
    auto a = test::MakeBuffer(*device, 0x82, 8);
    auto b = test::MakeBuffer(*device, 0x82, 8);
    test::Write(*a, 0, test::Samples({30000, -30000, 20000, 100}));
    test::Write(*b, 0, test::Samples({30000, -30000, -25000, 200}));
    ASSERT_EQ(Ok, a->Play(0, 0, 0));
    ASSERT_EQ(Ok, b->Play(0, 0, 0));
    EXPECT_EQ((std::vector<std::int16_t>{32767, -32768, -5000, 300}), test::Render(*device, 2));
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
