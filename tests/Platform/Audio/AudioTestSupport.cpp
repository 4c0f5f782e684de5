#include "AudioTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

namespace test {

std::vector<std::uint8_t> Wfx(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits,
                              std::uint16_t tag) {
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    const std::uint32_t perSecond = rate * align;
    std::vector<std::uint8_t> b;
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) {
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
    };
    put(tag, 2);
    put(channels, 2);
    put(rate, 4);
    put(perSecond, 4);
    put(align, 2);
    put(bits, 2);
    put(0, 2);
    return b;
}

std::unique_ptr<Audio::Device> ManualDevice() {
    std::unique_ptr<Audio::Device> device;
    EXPECT_EQ(Audio::Ok, Audio::Device::Create({Audio::Device::Output::Manual, 1024}, &device));
    return device;
}

std::unique_ptr<Audio::Buffer> MakeBuffer(Audio::Device& device, std::uint32_t flags,
                                          std::uint32_t bytes, std::uint32_t rate,
                                          std::uint16_t channels, std::uint16_t bits) {
    const auto format = Wfx(rate, channels, bits);
    std::unique_ptr<Audio::Buffer> buffer;
    EXPECT_EQ(Audio::Ok, device.CreateSoundBuffer({flags, bytes, format}, &buffer));
    return buffer;
}

void Write(Audio::Buffer& buffer, std::uint32_t offset, const std::vector<std::uint8_t>& bytes) {
    void* p1 = nullptr;
    void* p2 = nullptr;
    std::uint32_t n1 = 0;
    std::uint32_t n2 = 0;
    const auto size = static_cast<std::uint32_t>(bytes.size());
    ASSERT_EQ(Audio::Ok, buffer.Lock(offset, size, &p1, &n1, &p2, &n2, 0));
    ASSERT_EQ(size, n1);
    ASSERT_EQ(nullptr, p2);
    std::memcpy(p1, bytes.data(), size);
    ASSERT_EQ(Audio::Ok, buffer.Unlock(p1, n1, p2, n2));
}

std::vector<std::uint8_t> Samples(const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> b(samples.size() * 2);
    std::memcpy(b.data(), samples.data(), b.size());
    return b;
}

std::vector<std::int16_t> Render(Audio::Device& device, std::size_t frames) {
    std::vector<std::int16_t> out(frames * 2);
    device.Render(out.data(), frames);
    return out;
}

} // namespace test

namespace test {

RingStream::RingStream(Audio::Device& device)
    : buffer_(MakeBuffer(device, 0x10180, Block * Blocks)),
      event_(std::make_shared<Audio::Event>("SyncStream")) {
    std::vector<Audio::NotifyPosition> at;
    for (std::uint32_t k = 0; k < Blocks; ++k) {
        at.push_back({Block - 1 + k * Block, event_});
    }
    EXPECT_EQ(Audio::Ok, buffer_->SetNotificationPositions(at));
    for (std::uint32_t k = 0; k < Blocks; ++k) {
        FillBlock(k);
    }
}

std::int16_t RingStream::SourceLeft(std::uint64_t frame) {
    return static_cast<std::int16_t>(static_cast<int>(frame % 30011) - 15000);
}

std::int16_t RingStream::SourceRight(std::uint64_t frame) {
    return static_cast<std::int16_t>(static_cast<int>(frame * 3 % 29989) - 14000);
}

void RingStream::FillBlock(std::uint32_t block) {
    std::vector<std::int16_t> samples;
    for (std::uint32_t i = 0; i < Block / 4; ++i, ++sourceFrame_) {
        samples.push_back(SourceLeft(sourceFrame_));
        samples.push_back(SourceRight(sourceFrame_));
    }
    Write(*buffer_, block * Block, Samples(samples));
}

void RingStream::Update() {
    if (!event_->IsSet()) {
        return;
    }
    event_->Reset();
    std::uint32_t play = 0;
    std::uint32_t write = 0;
    ASSERT_EQ(Audio::Ok, buffer_->GetCurrentPosition(&play, &write));
    const std::uint32_t cursorBlock = write / Block;
    while (next_ != cursorBlock) {
        FillBlock(next_);
        next_ = (next_ + 1) % Blocks;
    }
}

} // namespace test
