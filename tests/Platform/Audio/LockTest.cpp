#include "AudioTestSupport.h"
#include "Platform/Audio/Device.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

using namespace Audio;

struct Locked {
    void* p1 = nullptr;
    void* p2 = nullptr;
    std::uint32_t n1 = 0;
    std::uint32_t n2 = 0;
};

TEST(AudioLock, RegionsAndRanges) {
    struct Case {
        std::uint32_t offset, bytes;
        Result result;
        std::uint32_t n1, n2;
    };
    const Case cases[] = {
        {0, 1000, Ok, 1000, 0},           {600, 400, Ok, 400, 0},
        {600, 1000, Ok, 400, 600},        {999, 2, Ok, 1, 1},
        {1000, 1, ErrInvalidParam, 0, 0}, {0, 0, ErrInvalidParam, 0, 0},
        {0, 1001, ErrInvalidParam, 0, 0},
    };
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x82, 1000, 44100, 1, 8);
    for (const Case& c : cases) {
        Locked l;
        ASSERT_EQ(c.result, buffer->Lock(c.offset, c.bytes, &l.p1, &l.n1, &l.p2, &l.n2, 0))
            << c.offset << "+" << c.bytes;
        if (c.result != Ok) {
            continue;
        }
        EXPECT_EQ(c.n1, l.n1);
        EXPECT_EQ(c.n2, l.n2);
        EXPECT_EQ(c.n2 == 0, l.p2 == nullptr);
        EXPECT_EQ(Ok, buffer->Unlock(l.p1, l.n1, l.p2, l.n2));
    }
    // Without room for a second region only the first is locked.
    Locked l;
    ASSERT_EQ(Ok, buffer->Lock(600, 1000, &l.p1, &l.n1, nullptr, nullptr, 0));
    EXPECT_EQ(400u, l.n1);
    EXPECT_EQ(Ok, buffer->Unlock(l.p1, l.n1, nullptr, 0));
    EXPECT_EQ(ErrInvalidParam, buffer->Lock(0, 10, &l.p1, &l.n1, nullptr, nullptr, 1));
}

TEST(AudioLock, WrappedWriteLandsAtBothEnds) {
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x82, 16);
    Locked l;
    ASSERT_EQ(Ok, buffer->Lock(12, 8, &l.p1, &l.n1, &l.p2, &l.n2, 0));
    ASSERT_EQ(4u, l.n1);
    ASSERT_EQ(4u, l.n2);
    const std::int16_t end[] = {100, -100};
    const std::int16_t start[] = {200, -200};
    std::memcpy(l.p1, end, 4);
    std::memcpy(l.p2, start, 4);
    ASSERT_EQ(Ok, buffer->Unlock(l.p1, l.n1, l.p2, l.n2));
    ASSERT_EQ(Ok, buffer->Play(0, 0, 0));
    EXPECT_EQ((std::vector<std::int16_t>{200, -200, 0, 0, 0, 0, 100, -100}),
              test::Render(*device, 4));
}

TEST(AudioLock, PlayingBufferKeepsPlayingTheOldBytesUntilUnlock) {
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x82, 4000);
    test::Write(*buffer, 0, test::Samples(std::vector<std::int16_t>(2000, 7)));
    ASSERT_EQ(Ok, buffer->Play(0, 0, PlayLooping));
    Locked l;
    ASSERT_EQ(Ok, buffer->Lock(0, 4000, &l.p1, &l.n1, &l.p2, &l.n2, 0));
    std::int16_t first = 0;
    std::memcpy(&first, l.p1, 2);
    EXPECT_EQ(7, first); // the copy holds the current bytes
    const auto nines = test::Samples(std::vector<std::int16_t>(2000, 9));
    std::memcpy(l.p1, nines.data(), 4000);
    EXPECT_EQ(std::vector<std::int16_t>(200, 7), test::Render(*device, 100));
    // A second lock while one is open is refused; so are foreign pointers.
    Locked again;
    EXPECT_EQ(ErrInvalidParam, buffer->Lock(0, 4, &again.p1, &again.n1, &again.p2, &again.n2, 0));
    std::uint8_t foreign[4];
    EXPECT_EQ(ErrInvalidParam, buffer->Unlock(foreign, 4, nullptr, 0));
    EXPECT_EQ(ErrInvalidParam, buffer->Unlock(l.p1, l.n1 + 1, nullptr, 0));
    ASSERT_EQ(Ok, buffer->Unlock(l.p1, l.n1, l.p2, l.n2));
    EXPECT_EQ(std::vector<std::int16_t>(200, 9), test::Render(*device, 100));
    EXPECT_EQ(ErrInvalidParam, buffer->Unlock(l.p1, l.n1, l.p2, l.n2));
}

TEST(AudioLock, StoppedBufferCannotStartWhileLocked) {
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x82, 4000);
    Locked l;
    ASSERT_EQ(Ok, buffer->Lock(0, 4000, &l.p1, &l.n1, &l.p2, &l.n2, 0));
    EXPECT_EQ(ErrInvalidCall, buffer->Play(0, 0, 0));
    ASSERT_EQ(Ok, buffer->Unlock(l.p1, l.n1, l.p2, l.n2));
    EXPECT_EQ(Ok, buffer->Play(0, 0, 0));
}

} // namespace
