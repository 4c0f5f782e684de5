#include "SoundFixture.h"

#include "FileSystem/Locator.h"
#include "Platform/Audio/AudioTestSupport.h"
#include "Platform/Audio/Event.h"
#include "Sound/Output.h"
#include "SoundFiles.h"

#include <gtest/gtest.h>

namespace test {

SoundFixture::SoundFixture() : opts_(g_opts), device_(ManualDevice()) {
    Remount();
    Sound::UseDevice(device_);
}

void SoundFixture::Remount() const {
    Locator::Instance().Init(tree_.Root().string());
}

SoundFixture::~SoundFixture() {
    Sound::UseDevice(nullptr);
}

void SoundFixture::Add(const std::string& name, const std::string& bytes) const {
    tree_.AddLoose(name, bytes);
}

std::vector<std::int16_t> SoundFixture::Step(Sound::Base& sound, Audio::Event& event,
                                             std::size_t frames) {
    std::vector<std::int16_t> out = Render(*device_, frames);
    if (event.IsSet()) {
        event.Reset();
        if (sound.IsPlaying()) {
            static_cast<Sound::SfxStreamed&>(sound).Update();
        }
    }
    return out;
}

std::vector<std::int16_t> SoundFixture::Drive(Sound::Base& sound, Audio::Event& event,
                                              std::size_t limit, std::size_t step) {
    std::vector<std::int16_t> out;
    while (sound.IsPlaying() && out.size() / 2 < limit) {
        const auto piece = Step(sound, event, step);
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

std::vector<std::int16_t> Pattern(std::size_t frames) {
    std::vector<std::int16_t> out(frames * 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<std::int16_t>(1 + (i * 37) % 20011);
    }
    return out;
}

std::string Bytes(const std::vector<std::int16_t>& samples) {
    std::string out;
    for (const std::int16_t s : samples) {
        out += Le16(static_cast<std::uint16_t>(s));
    }
    return out;
}

std::string StereoWave(const std::vector<std::int16_t>& samples) {
    const std::string data = Bytes(samples);
    return WaveBytes(PcmFormat(2, 44100, 16, 4), data, static_cast<std::uint32_t>(data.size()));
}

} // namespace test
