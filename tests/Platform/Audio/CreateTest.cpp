#include "AudioTestSupport.h"
#include "Platform/Audio/Device.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace Audio;

TEST(AudioCreate, PrimaryBufferRecordsPlacementFlags) {
    for (const std::uint32_t flags : {0x11u, 0x15u, 0x19u}) {
        auto device = test::ManualDevice();
        EXPECT_EQ(Ok, device->SetCooperativeLevel(nullptr, 3));
        EXPECT_EQ(Ok, device->CreatePrimaryBuffer(flags));
        EXPECT_EQ(flags, device->PrimaryFlags());
        EXPECT_EQ(Ok, device->SetPrimaryFormat(test::Wfx(44100, 2, 16)));
        EXPECT_EQ(Ok, device->PlayPrimary(PlayLooping));
    }
}

TEST(AudioCreate, PrimaryBufferRefusals) {
    auto device = test::ManualDevice();
    EXPECT_EQ(ErrInvalidParam, device->SetCooperativeLevel(nullptr, 0));
    EXPECT_EQ(ErrInvalidParam, device->SetCooperativeLevel(nullptr, 5));
    EXPECT_EQ(ErrInvalidCall, device->SetPrimaryFormat(test::Wfx(44100, 2, 16)));
    EXPECT_EQ(ErrInvalidCall, device->PlayPrimary(PlayLooping));
    EXPECT_EQ(ErrInvalidParam, device->CreatePrimaryBuffer(0x10));
    ASSERT_EQ(Ok, device->CreatePrimaryBuffer(0x11));
    EXPECT_EQ(ErrBadFormat, device->SetPrimaryFormat(test::Wfx(22050, 2, 16)));
    EXPECT_EQ(ErrBadFormat, device->SetPrimaryFormat(test::Wfx(44100, 1, 16)));
    EXPECT_EQ(ErrBadFormat, device->SetPrimaryFormat(test::Wfx(44100, 2, 8)));
    EXPECT_EQ(ErrInvalidParam, device->PlayPrimary(0));
}

TEST(AudioCreate, SecondaryBuffersKeepTheirFlags) {
    auto device = test::ManualDevice();
    for (const std::uint32_t flags : {0x82u, 0x86u, 0x92u, 0x9Au, 0x10180u, 0x10184u, 0x10188u}) {
        auto buffer = test::MakeBuffer(*device, flags, 4096);
        ASSERT_NE(nullptr, buffer);
        EXPECT_EQ(flags, buffer->Flags());
        EXPECT_EQ(4096u, buffer->Bytes());
    }
}

TEST(AudioCreate, FormatsAndSizes) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> format;
        std::uint32_t flags;
        std::uint32_t bytes;
        Result expected;
    };
    auto cut = test::Wfx(44100, 2, 16);
    cut.resize(14);
    auto badAlign = test::Wfx(44100, 2, 16);
    badAlign[12] = 2;
    const Case cases[] = {
        {"16-bit stereo", test::Wfx(44100, 2, 16), 0x82, 4, Ok},
        {"8-bit mono", test::Wfx(11025, 1, 8), 0x82, 1, Ok},
        {"stereo 3-D", test::Wfx(22050, 2, 16), 0x92, 400, Ok},
        {"non-PCM", test::Wfx(44100, 2, 16, 2), 0x82, 4096, ErrBadFormat},
        {"3 channels", test::Wfx(44100, 3, 16), 0x82, 4096, ErrBadFormat},
        {"24 bits", test::Wfx(44100, 2, 24), 0x82, 4096, ErrBadFormat},
        {"rate too low", test::Wfx(99, 2, 16), 0x82, 4096, ErrBadFormat},
        {"rate too high", test::Wfx(200001, 2, 16), 0x82, 4096, ErrBadFormat},
        {"short record", cut, 0x82, 4096, ErrBadFormat},
        {"block alignment", badAlign, 0x82, 4096, ErrBadFormat},
        {"no bytes", test::Wfx(44100, 2, 16), 0x82, 0, ErrInvalidParam},
        {"below one frame", test::Wfx(44100, 2, 16), 0x82, 3, ErrInvalidParam},
        {"too large", test::Wfx(44100, 2, 16), 0x82, 0x10000000, ErrInvalidParam},
        {"primary flag", test::Wfx(44100, 2, 16), 0x83, 4096, ErrInvalidParam},
    };
    auto device = test::ManualDevice();
    for (const Case& c : cases) {
        std::unique_ptr<Buffer> buffer;
        EXPECT_EQ(c.expected, device->CreateSoundBuffer({c.flags, c.bytes, c.format}, &buffer))
            << c.what;
        EXPECT_EQ(c.expected == Ok, buffer != nullptr) << c.what;
    }
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

TEST(AudioCreate, BuffersStartSilent) {
    auto device = test::ManualDevice();
    for (const std::uint16_t bits : {std::uint16_t(8), std::uint16_t(16)}) {
        auto buffer = test::MakeBuffer(*device, 0x82, 64, 44100, 1, bits);
        void* p1 = nullptr;
        std::uint32_t n1 = 0;
        ASSERT_EQ(Ok, buffer->Lock(0, 64, &p1, &n1, nullptr, nullptr, 0));
        const auto* bytes = static_cast<const std::uint8_t*>(p1);
        EXPECT_EQ(std::vector<std::uint8_t>(64, bits == 8 ? 0x80 : 0),
                  std::vector<std::uint8_t>(bytes, bytes + n1));
        ASSERT_EQ(Ok, buffer->Unlock(p1, n1, nullptr, 0));
    }
}

} // namespace
