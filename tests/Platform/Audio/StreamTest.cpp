#include "AudioTestSupport.h"
#include "Platform/Audio/Device.h"

#include <gtest/gtest.h>

namespace {

using namespace Audio;

// Three turns of the ring, rendered in periods that do not divide a block, refilled after
// every period that passed a block end: the output is the source without a gap.
TEST(AudioStream, RingRefillsWithoutAGap) {
    auto device = test::ManualDevice();
    test::RingStream stream(*device);
    ASSERT_EQ(Ok, stream.Buffer().Play(0, 0, PlayLooping));
    const std::size_t total = 3 * test::RingStream::Blocks * test::RingStream::Block / 4;
    std::uint64_t frame = 0;
    int refills = 0;
    while (frame < total) {
        const auto out = test::Render(*device, 1000);
        for (std::size_t i = 0; i < 1000; ++i, ++frame) {
            ASSERT_EQ(test::RingStream::SourceLeft(frame), out[2 * i]) << frame;
            ASSERT_EQ(test::RingStream::SourceRight(frame), out[2 * i + 1]) << frame;
        }
        refills += stream.Event().IsSet() ? 1 : 0;
        stream.Update();
    }
    EXPECT_EQ(3 * 8, refills);
}

} // namespace
