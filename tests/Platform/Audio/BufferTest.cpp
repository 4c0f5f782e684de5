#include "AudioTestSupport.h"
#include "Platform/Audio/Device.h"
#include "Platform/Audio/WaveFormat.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using namespace Audio;

struct Locked {
    void* p1 = nullptr;
    void* p2 = nullptr;
    std::uint32_t n1 = 0;
    std::uint32_t n2 = 0;

    Result Lock(Buffer& buffer, std::uint32_t offset, std::uint32_t bytes) {
        return buffer.Lock(offset, bytes, &p1, &n1, &p2, &n2, 0);
    }
    Result Unlock(Buffer& buffer) const { return buffer.Unlock(p1, n1, p2, n2); }
};

// The primary buffer takes only the one output format, once it exists.
TEST(AudioCreate, PrimaryBufferRefusals) {
    auto device = test::ManualDevice();
    EXPECT_EQ(ErrInvalidCall, device->SetPrimaryFormat(test::Wfx(44100, 2, 16)));
    EXPECT_EQ(ErrInvalidParam, device->CreatePrimaryBuffer(0x10));
    ASSERT_EQ(Ok, device->CreatePrimaryBuffer(0x15));
    EXPECT_EQ(0x15u, device->PrimaryFlags());
    for (const auto& format :
         {test::Wfx(22050, 2, 16), test::Wfx(44100, 1, 16), test::Wfx(44100, 2, 8)}) {
        EXPECT_EQ(ErrBadFormat, device->SetPrimaryFormat(format));
    }
}

TEST(AudioCreate, FormatsAndSizes) {
    auto cut = test::Wfx(44100, 2, 16);
    cut.resize(14);
    auto badAlign = test::Wfx(44100, 2, 16);
    badAlign[12] = 2;
    const auto cd = test::Wfx(44100, 2, 16);
    const struct {
        const char* what;
        std::vector<std::uint8_t> format;
        std::uint32_t flags, bytes;
        Result expected;
        std::string problem; // what WaveFormatProblem says of the format
    } cases[] = {
        {"16-bit stereo", cd, 0x82, 4, Ok, ""},
        {"8-bit mono", test::Wfx(11025, 1, 8), 0x82, 1, Ok, ""},
        {"stereo 3-D", test::Wfx(22050, 2, 16), 0x92, 400, Ok, ""},
        {"3 channels", test::Wfx(44100, 3, 16), 0x82, 4096, ErrBadFormat, "3 channels"},
        {"rate too low", test::Wfx(99, 2, 16), 0x82, 4096, ErrBadFormat,
         "a rate of 99 samples per second"},
        {"short record", cut, 0x82, 4096, ErrBadFormat, "a format record of 14 bytes"},
        {"block alignment", badAlign, 0x82, 4096, ErrBadFormat, "a block alignment of 2 bytes"},
        {"below one frame", cd, 0x82, 3, ErrInvalidParam, ""},
        {"too large", cd, 0x82, 0x10000000, ErrInvalidParam, ""},
        {"primary flag", cd, 0x83, 4096, ErrInvalidParam, ""},
    };
    auto device = test::ManualDevice();
    for (const auto& c : cases) {
        std::unique_ptr<Buffer> buffer;
        EXPECT_EQ(c.expected, device->CreateSoundBuffer({c.flags, c.bytes, c.format}, &buffer))
            << c.what;
        EXPECT_EQ(c.expected == Ok, buffer != nullptr) << c.what;
        if (buffer) {
            EXPECT_EQ(c.flags, buffer->Flags()) << c.what;
        }
        EXPECT_EQ(WaveFormatProblem(c.format), c.problem) << c.what;
    }
    // A buffer made over memory of its own size takes that memory as its contents.
    std::unique_ptr<Buffer> buffer;
    EXPECT_EQ(ErrInvalidParam, device->CreateSoundBuffer({0x82, 8, cd}, {1, 2, 3, 4}, &buffer));
    ASSERT_EQ(Ok, device->CreateSoundBuffer({0x82, 4, cd}, {1, 2, 3, 4}, &buffer));
    void* data = nullptr;
    std::uint32_t bytes = 0;
    ASSERT_EQ(Ok, buffer->Lock(0, 4, &data, &bytes, nullptr, nullptr, 0));
    EXPECT_EQ(std::vector<std::uint8_t>(static_cast<std::uint8_t*>(data),
                                        static_cast<std::uint8_t*>(data) + bytes),
              (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(Ok, buffer->Unlock(data, bytes, nullptr, 0));
}

TEST(AudioCreate, ControlsNeedTheirFlags) {
    auto device = test::ManualDevice();
    auto plain = test::MakeBuffer(*device, Caps::Static, 4096);
    auto event = std::make_shared<Event>("SyncStream");
    const NotifyPosition at[] = {{100, event}};
    std::int32_t volume = 1;
    EXPECT_EQ(ErrControlUnavail, plain->SetVolume(-100));
    EXPECT_EQ(ErrControlUnavail, plain->GetVolume(&volume));
    EXPECT_EQ(ErrNoInterface, plain->SetNotificationPositions(at));
    EXPECT_EQ(ErrNoInterface, plain->SetPosition3D(1, 0, 0, 0));

    auto full = test::MakeBuffer(*device, 0x10190, 4096);
    EXPECT_EQ(ErrInvalidParam, full->SetVolume(1));
    EXPECT_EQ(ErrInvalidParam, full->SetVolume(-10001));
    EXPECT_EQ(Ok, full->SetVolume(-602));
    EXPECT_EQ(Ok, full->GetVolume(&volume));
    EXPECT_EQ(-602, volume);
    const NotifyPosition outside[] = {{4096, event}};
    const NotifyPosition noEvent[] = {{0, nullptr}};
    EXPECT_EQ(ErrInvalidParam, full->SetNotificationPositions(outside));
    EXPECT_EQ(ErrInvalidParam, full->SetNotificationPositions(noEvent));
    EXPECT_EQ(Ok, full->SetNotificationPositions(at));
    EXPECT_EQ(ErrInvalidParam, full->SetPosition3D(0, 0, 1, 1));
    EXPECT_EQ(ErrInvalidParam, full->SetPosition3D(std::nanf(""), 0, 1, 0));
    ASSERT_EQ(Ok, full->Play(0, 0, PlayLooping));
    EXPECT_EQ(ErrInvalidCall, full->SetNotificationPositions(at));
    EXPECT_EQ(ErrInvalidParam, full->Play(1, 0, 0));
}

TEST(AudioLock, BuffersStartSilent) {
    auto device = test::ManualDevice();
    for (const std::uint16_t bits : {std::uint16_t(8), std::uint16_t(16)}) {
        auto buffer = test::MakeBuffer(*device, 0x82, 64, 44100, 1, bits);
        Locked l;
        ASSERT_EQ(Ok, l.Lock(*buffer, 0, 64));
        const auto* bytes = static_cast<const std::uint8_t*>(l.p1);
        EXPECT_EQ(std::vector<std::uint8_t>(64, bits == 8 ? 0x80 : 0),
                  std::vector<std::uint8_t>(bytes, bytes + l.n1));
        ASSERT_EQ(Ok, l.Unlock(*buffer));
    }
}

TEST(AudioLock, RegionsAndRanges) {
    const struct {
        std::uint32_t offset, bytes;
        Result result;
        std::uint32_t n1, n2;
    } cases[] = {
        {0, 1000, Ok, 1000, 0},
        {600, 1000, Ok, 400, 600},
        {999, 2, Ok, 1, 1},
        {1000, 1, ErrInvalidParam, 0, 0},
        {0, 0, ErrInvalidParam, 0, 0},
        {0, 1001, ErrInvalidParam, 0, 0},
    };
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x82, 1000, 44100, 1, 8);
    for (const auto& c : cases) {
        Locked l;
        ASSERT_EQ(c.result, l.Lock(*buffer, c.offset, c.bytes)) << c.offset << "+" << c.bytes;
        if (c.result == Ok) {
            EXPECT_EQ(c.n1, l.n1);
            EXPECT_EQ(c.n2, l.n2);
            EXPECT_EQ(c.n2 == 0, l.p2 == nullptr);
            EXPECT_EQ(Ok, l.Unlock(*buffer));
        }
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
    ASSERT_EQ(Ok, l.Lock(*buffer, 12, 8));
    ASSERT_EQ(4u, l.n1);
    ASSERT_EQ(4u, l.n2);
    const std::int16_t end[] = {100, -100};
    const std::int16_t start[] = {200, -200};
    std::memcpy(l.p1, end, 4);
    std::memcpy(l.p2, start, 4);
    ASSERT_EQ(Ok, l.Unlock(*buffer));
    ASSERT_EQ(Ok, buffer->Play(0, 0, 0));
    EXPECT_EQ((std::vector<std::int16_t>{200, -200, 0, 0, 0, 0, 100, -100}),
              test::Render(*device, 4));
}

// A playing buffer plays its old bytes until Unlock; a stopped one cannot start while locked.
TEST(AudioLock, LockedBytesTakeEffectAtUnlock) {
    auto device = test::ManualDevice();
    auto buffer = test::MakeBuffer(*device, 0x82, 4000);
    auto stopped = test::MakeBuffer(*device, 0x82, 4000);
    test::Write(*buffer, 0, test::Samples(std::vector<std::int16_t>(2000, 7)));
    ASSERT_EQ(Ok, buffer->Play(0, 0, PlayLooping));
    Locked l, other;
    ASSERT_EQ(Ok, l.Lock(*buffer, 0, 4000));
    std::int16_t first = 0;
    std::memcpy(&first, l.p1, 2);
    EXPECT_EQ(7, first); // the copy holds the current bytes
    const auto nines = test::Samples(std::vector<std::int16_t>(2000, 9));
    std::memcpy(l.p1, nines.data(), 4000);
    EXPECT_EQ(std::vector<std::int16_t>(200, 7), test::Render(*device, 100));
    // A second lock while one is open is refused; so are foreign pointers.
    EXPECT_EQ(ErrInvalidParam, other.Lock(*buffer, 0, 4));
    std::uint8_t foreign[4];
    EXPECT_EQ(ErrInvalidParam, buffer->Unlock(foreign, 4, nullptr, 0));
    EXPECT_EQ(ErrInvalidParam, buffer->Unlock(l.p1, l.n1 + 1, nullptr, 0));
    ASSERT_EQ(Ok, l.Unlock(*buffer));
    EXPECT_EQ(std::vector<std::int16_t>(200, 9), test::Render(*device, 100));
    EXPECT_EQ(ErrInvalidParam, l.Unlock(*buffer));

    ASSERT_EQ(Ok, other.Lock(*stopped, 0, 4000));
    EXPECT_EQ(ErrInvalidCall, stopped->Play(0, 0, 0));
    ASSERT_EQ(Ok, other.Unlock(*stopped));
    EXPECT_EQ(Ok, stopped->Play(0, 0, 0));
}

} // namespace
