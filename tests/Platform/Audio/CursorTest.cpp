#include "AudioTestSupport.h"
#include "Platform/Audio/Device.h"

#include <gtest/gtest.h>

namespace {

using namespace Audio;

constexpr std::uint32_t Block = test::RingStream::Block;

struct Cursors {
    std::uint32_t play = 0;
    std::uint32_t write = 0;
    bool operator==(const Cursors&) const = default;
};

Cursors Get(const Buffer& buffer) {
    Cursors c;
    EXPECT_EQ(Ok, buffer.GetCurrentPosition(&c.play, &c.write));
    return c;
}

std::uint32_t StatusOf(const Buffer& buffer) {
    std::uint32_t status = 0xFFFF;
    EXPECT_EQ(Ok, buffer.GetStatus(&status));
    return status;
}

// A 1024-frame output period moves the play cursor by its length in source bytes; the write
// cursor leads by one such period.
TEST(AudioCursors, AdvanceByTheSourceRate) {
    const struct {
        std::uint32_t rate;
        std::uint16_t channels, bits;
        std::uint32_t period;
    } cases[] = {
        {44100, 2, 16, 4096},
        {22050, 1, 8, 512},
        {22050, 2, 16, 2048},
        {11025, 1, 16, 512},
    };
    for (const auto& c : cases) {
        auto device = test::ManualDevice();
        auto buffer = test::MakeBuffer(*device, 0x10180, 262144, c.rate, c.channels, c.bits);
        EXPECT_EQ((Cursors{0, 0}), Get(*buffer));
        ASSERT_EQ(Ok, buffer->Play(0, 0, PlayLooping));
        EXPECT_EQ((Cursors{0, c.period}), Get(*buffer));
        test::Render(*device, 1024);
        EXPECT_EQ((Cursors{c.period, 2 * c.period}), Get(*buffer)) << c.rate;
        EXPECT_EQ(Status::Playing | Status::Looping, StatusOf(*buffer));
    }
}

TEST(AudioCursors, StopKeepsThePositionAndSetPositionMovesIt) {
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x82, 65536);
    ASSERT_EQ(Ok, buffer->Play(0, 0, 0));
    test::Render(*device, 1000);
    ASSERT_EQ(Ok, buffer->Stop());
    EXPECT_EQ(0u, StatusOf(*buffer));
    EXPECT_EQ((Cursors{4000, 4000}), Get(*buffer));
    test::Render(*device, 1000);
    EXPECT_EQ((Cursors{4000, 4000}), Get(*buffer));

    ASSERT_EQ(Ok, buffer->Play(0, 0, 0));
    ASSERT_EQ(Ok, buffer->SetCurrentPosition(1003)); // rounded down to the frame
    EXPECT_EQ(1000u, Get(*buffer).play);
    test::Render(*device, 10);
    EXPECT_EQ(1040u, Get(*buffer).play);
    EXPECT_EQ(ErrInvalidParam, buffer->SetCurrentPosition(65536));
}

TEST(AudioCursors, LoopingWrapsAndOnceStopsAtTheEnd) {
    auto device = test::ManualDevice();
    auto looped = test::MakeBuffer(*device, 0x82, 4000); // 1000 frames
    auto once = test::MakeBuffer(*device, 0x82, 4000);
    ASSERT_EQ(Ok, looped->Play(0, 0, PlayLooping));
    ASSERT_EQ(Ok, once->Play(0, 0, 0));
    test::Render(*device, 999);
    EXPECT_EQ(Status::Playing, StatusOf(*once));
    EXPECT_EQ(3996u, Get(*once).play);
    test::Render(*device, 1);
    EXPECT_EQ(0u, StatusOf(*once));
    EXPECT_EQ((Cursors{0, 0}), Get(*once));
    test::Render(*device, 2500);
    EXPECT_EQ(2000u, Get(*looped).play);
    EXPECT_EQ(Status::Playing | Status::Looping, StatusOf(*looped));
    // Playing again while playing only changes the looping.
    ASSERT_EQ(Ok, looped->Play(0, 0, 0));
    EXPECT_EQ(Status::Playing, StatusOf(*looped));
    EXPECT_EQ(2000u, Get(*looped).play);
    test::Render(*device, 600);
    EXPECT_EQ(0u, StatusOf(*looped));
}

// The streamed ring: eight 32 KiB blocks, a notification on the last byte of each. 8191
// frames end at byte 32763: the block's last frame is not consumed yet.
TEST(AudioNotifications, FireAtEachBlocksLastByteAndAcrossTheWrap) {
    auto device = test::ManualDevice();
    test::RingStream ring(*device);
    Buffer& buffer = ring.Buffer();
    ASSERT_EQ(Ok, buffer.Play(0, 0, PlayLooping));
    for (int k = 0; k < 16; ++k) {
        test::Render(*device, 8191);
        EXPECT_FALSE(ring.Event().IsSet()) << k;
        test::Render(*device, 1);
        EXPECT_TRUE(ring.Event().IsSet()) << k;
        ring.Event().Reset();
    }
    ASSERT_EQ(Ok, buffer.SetCurrentPosition(8 * Block - 400));
    EXPECT_FALSE(ring.Event().IsSet());
    test::Render(*device, 200);
    EXPECT_TRUE(ring.Event().IsSet());
}

// No notification while stopped nor for offsets jumped over; a buffer played once passes
// its last offsets at the end.
TEST(AudioNotifications, NotWhenStoppedNorOnJumpsButAtTheEnd) {
    auto device = test::ManualDevice();
    test::RingStream ring(*device);
    Buffer& buffer = ring.Buffer();
    ASSERT_EQ(Ok, buffer.SetCurrentPosition(Block - 4));
    test::Render(*device, 4096);
    EXPECT_FALSE(ring.Event().IsSet());
    ASSERT_EQ(Ok, buffer.Play(0, 0, PlayLooping));
    ASSERT_EQ(Ok, buffer.SetCurrentPosition(3 * Block + 100)); // skips blocks 0 to 2
    test::Render(*device, 100);
    EXPECT_FALSE(ring.Event().IsSet());

    ASSERT_EQ(Ok, buffer.SetCurrentPosition(8 * Block - 40));
    ASSERT_EQ(Ok, buffer.Play(0, 0, 0));
    test::Render(*device, 100);
    EXPECT_TRUE(ring.Event().IsSet());
    EXPECT_EQ(0u, StatusOf(buffer));
}

} // namespace
