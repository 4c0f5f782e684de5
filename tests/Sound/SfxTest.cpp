// Sound buffers: creation flags and failures, volumes, static playback, loss and restore,
// 3-D positions, and the streamed ring's end, loop and late refills, all on a device in
// manual mode whose output is compared sample for sample.

#include "Sound/Sfx.h"

#include "Game/Exception.h"
#include "Platform/Audio/AudioTestSupport.h"
#include "Platform/Audio/Buffer.h"
#include "Platform/Audio/Event.h"
#include "Sound/SfxStreamed.h"
#include "SoundFiles.h"
#include "SoundFixture.h"
#include "support/ThrownText.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace test;
using Sound::SfxStreamed;

constexpr std::uint32_t kVolume = Audio::Caps::CtrlVolume;
constexpr std::uint32_t kBlockFrames = SfxStreamed::kBlockSize / 4;

std::vector<std::int16_t> Slice(const std::vector<std::int16_t>& v, std::size_t frame,
                                std::size_t frames) {
    return {v.begin() + frame * 2, v.begin() + (frame + frames) * 2};
}

bool Silent(const std::vector<std::int16_t>& v, std::size_t fromFrame) {
    return std::all_of(v.begin() + fromFrame * 2, v.end(), [](std::int16_t s) { return s == 0; });
}

std::int32_t VolumeOf(const Sound::Base& sound) {
    std::int32_t volume = 1;
    sound.Buffer().GetVolume(&volume);
    return volume;
}

TEST(SfxTest, BufferFlagsFollowTheKindAndTheMixerPlacement) {
    SoundFixture fixture;
    fixture.Add("a.wav", StereoWave(Pattern(100)));
    fixture.Add("m.wav", WaveBytes(PcmFormat(1, 22050, 16, 2), Ramp(100), 100));
    const auto event = std::make_shared<Audio::Event>("SyncStream");
    const std::uint32_t placements[] = {0, 0x4, 0x8};
    for (int mixer = 0; mixer < 3; ++mixer) {
        SCOPED_TRACE(mixer);
        opts().soundMixer_ = mixer;
        const std::uint32_t place = placements[mixer];
        EXPECT_EQ(Sound::Sfx("a.wav", kVolume, false).Buffer().Flags(), 0x82u | place);
        EXPECT_EQ(Sound::Sfx("m.wav", kVolume | Audio::Caps::Ctrl3D, false).Buffer().Flags(),
                  0x92u | place);
        const SfxStreamed stream("a.wav", event, true);
        EXPECT_EQ(stream.Buffer().Flags(), 0x10180u | place);
        EXPECT_EQ(stream.Flags(), 0x10180u); // the placement is not kept with the sound
    }
}

TEST(SfxTest, SourcesThatCannotPlayAreRefused) {
    SoundFixture fixture;
    fixture.Add("empty.wav", WaveBytes(PcmFormat(2, 44100, 16, 4), "", 0));
    fixture.Add("three.wav", WaveBytes(PcmFormat(3, 44100, 16, 6), Ramp(60), 60));
    fixture.Add("snd/ch0.wav", WaveBytes(PcmFormat(0, 44100, 16, 4), Ramp(60), 60));
    fixture.Add("rate0.wav", WaveBytes(PcmFormat(2, 0, 16, 4), Ramp(60), 60));
    fixture.Add("float.wav", WaveBytes(PcmFormat(2, 44100, 32, 8, 3) + Le16(0), Ramp(64), 64));
    const struct {
        const char* src;
        std::string condition; // logged; empty for an error of the source itself
        std::string error;
    } cases[] = {
        {"empty.wav", "file_->Size()", "the file holds no sound"},
        {"three.wav", "((HRESULT)0x00000000L) == dx().sound()->CreateSoundBuffer", "3 channels"},
        {"snd/ch0.wav", "((HRESULT)0x00000000L) == dx().sound()->CreateSoundBuffer", "0 channels"},
        {"rate0.wav", "((HRESULT)0x00000000L) == dx().sound()->CreateSoundBuffer",
         "a rate of 0 samples per second"},
        {"float.wav", "((HRESULT)0x00000000L) == dx().sound()->CreateSoundBuffer",
         "format 3, not PCM"},
        {"missing.wav", "", "Cannot open WAV file: 'missing.wav"},
        {"sound.mp3", "file_", "the extension is neither wav nor ogg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.src);
        LogSince log;
        const std::string error = ThrownText([&] { Sound::Sfx(c.src, kVolume, false); });
        EXPECT_EQ(error, c.error);
        if (!c.condition.empty()) {
            const auto lines = log.Lines();
            ASSERT_GE(lines.size(), 2u);
            EXPECT_EQ(lines[0], "\tAt .\\Sound\\Sfx");
            EXPECT_EQ(lines[1].rfind("\tOn " + c.condition, 0), 0u) << lines[1];
        }
    }
}

TEST(SfxTest, VolumeIsLinearAndRepeatsMakeNoCall) {
    SoundFixture fixture;
    fixture.Add("a.wav", StereoWave(Pattern(100)));
    Sound::Sfx sound("a.wav", kVolume, false);
    const struct {
        float volume;
        std::int32_t preset; // written into the buffer first, to see whether a call came
        std::int32_t expected;
    } steps[] = {
        {0.0f, -1, -10000}, {1.0f, -1, 0},       {0.5f, -1, -602},     {0.1f, -1, -2000},
        {2.0f, -1, 0},      {1.0f, -5000, 0},    {1.0f, -5000, -5000}, // repeated: no call
        {NAN, -1, -10000},  {-3.0f, -1, -10000},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.volume);
        ASSERT_EQ(sound.Buffer().SetVolume(s.preset), Audio::Ok);
        sound.SetVolume(s.volume);
        EXPECT_EQ(VolumeOf(sound), s.expected);
    }
    EXPECT_EQ(sound.Volume(), -3.0f); // stored as asked
}

TEST(SfxTest, StaticSoundPlaysOnceAndIsRefilledAfterALoss) {
    SoundFixture fixture;
    const auto samples = Pattern(3000);
    fixture.Add("a.wav", StereoWave(samples));
    Sound::Sfx sound("a.wav", kVolume, false);

    sound.Play(1.0f, false);
    auto out = Render(fixture.Device(), 4096);
    EXPECT_EQ(Slice(out, 0, 3000), samples);
    EXPECT_TRUE(Silent(out, 3000));
    EXPECT_FALSE(sound.IsPlaying());

    // A lost buffer is silent until the next play restores and refills it.
    fixture.Device().SimulateLoss();
    EXPECT_FALSE(sound.IsPlaying());
    sound.SeekStart();
    sound.Play(1.0f, true);
    out = Render(fixture.Device(), 6000);
    EXPECT_EQ(Slice(out, 0, 3000), samples);
    EXPECT_EQ(Slice(out, 3000, 3000), samples);
    EXPECT_TRUE(sound.IsPlaying());
    sound.Stop();
    EXPECT_FALSE(sound.IsPlaying());
    EXPECT_FALSE(sound.RestoreIfLost());

    // A buffer the device keeps lost is given up after a bounded wait.
    fixture.Device().SimulateLoss(true);
    LogSince log;
    const std::string error = ThrownText([&] { sound.Play(1.0f, false); });
    EXPECT_EQ(error.rfind("HRESULT: -2005401450\n", 0), 0u) << error;
    EXPECT_EQ(log.Count("\tOn hr"), 1);
    fixture.Device().SimulateLoss(false);
}

TEST(SfxTest, OnlyPlaying3DSoundsTakeAPosition) {
    SoundFixture fixture;
    fixture.Add("m.wav", WaveBytes(PcmFormat(1, 44100, 16, 2), Ramp(20000), 20000));
    Sound::Sfx flat("m.wav", kVolume, true);
    Sound::Sfx spatial("m.wav", kVolume | Audio::Caps::Ctrl3D, true);
    const struct {
        Sound::Sfx* sound;
        bool play;
        long warnings;
    } cases[] = {{&flat, true, 1}, {&spatial, false, 1}, {&spatial, true, 0}};
    for (const auto& c : cases) {
        if (c.play) {
            c.sound->Play(1.0f, true);
        }
        LogSince log;
        c.sound->SetPosition(1.0f, 0.0f, 0.0f);
        EXPECT_EQ(log.Count("Trying to position stopped sound"), c.warnings);
        c.sound->Stop();
    }
}

TEST(SfxTest, RingOfAnEightBitSourceIsPaddedWith0x80) {
    SoundFixture fixture;
    fixture.Add("8.wav", WaveBytes(PcmFormat(1, 11025, 8, 1), Ramp(1000, 1), 1000));
    SfxStreamed sound("8.wav", std::make_shared<Audio::Event>(), false);
    void* data = nullptr;
    std::uint32_t bytes = 0;
    ASSERT_EQ(sound.Buffer().Lock(0, SfxStreamed::kRingSize, &data, &bytes, nullptr, nullptr, 0),
              Audio::Ok);
    const std::string ring(static_cast<const char*>(data), bytes);
    sound.Buffer().Unlock(data, 0, nullptr, 0);
    EXPECT_EQ(ring, Ramp(1000, 1) + std::string(SfxStreamed::kRingSize - 1000, '\x80'));
}

TEST(SfxTest, StreamWithoutLoopPlaysToItsEndAndRewinds) {
    const struct {
        const char* what;
        std::size_t frames;
        std::size_t step; // frames mixed between two refills
    } cases[] = {
        {"shorter than the ring", 25000, 1024},
        {"longer than the ring", 150000, 1024},
        {"refills two blocks late", 25000, 2 * kBlockFrames},
        {"long, refills two blocks late", 150000, 2 * kBlockFrames},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SoundFixture fixture;
        const auto samples = Pattern(c.frames);
        fixture.Add("s.wav", StereoWave(samples));
        const auto event = std::make_shared<Audio::Event>();
        SfxStreamed sound("s.wav", event, false);
        LogSince log;
        sound.Play(1.0f, true);
        // One ring turn after the last data at most, plus the lateness of the refills.
        const std::size_t limit = c.frames + 2 * SfxStreamed::kRingSize / 4 + c.step;
        const auto out = fixture.Drive(sound, *event, limit, c.step);
        EXPECT_FALSE(sound.IsPlaying());
        EXPECT_EQ(log.Count("end reached"), 1);
        EXPECT_LE(out.size() / 2, c.frames + SfxStreamed::kRingSize / 4 + 2 * c.step);
        ASSERT_GE(out.size() / 2, c.frames);
        EXPECT_EQ(Slice(out, 0, c.frames), samples);
        EXPECT_TRUE(Silent(out, c.frames));
        std::uint32_t play = 1;
        sound.Buffer().GetCurrentPosition(&play, nullptr);
        EXPECT_EQ(play, 0u);

        // Ready to play again from its beginning.
        sound.Play(1.0f, true);
        EXPECT_EQ(Slice(fixture.Step(sound, *event, 1000), 0, 1000), Slice(samples, 0, 1000));
    }
}

TEST(SfxTest, LoopingStreamRepeatsAfterTheFirstTurnOfTheRing) {
    SoundFixture fixture;
    const std::size_t frames = 25000;
    const auto samples = Pattern(frames);
    fixture.Add("s.wav", StereoWave(samples));
    const auto event = std::make_shared<Audio::Event>();
    SfxStreamed sound("s.wav", event, true);
    LogSince log;
    sound.Play(1.0f, true);
    const std::size_t ring = SfxStreamed::kRingSize / 4;
    const std::size_t total = 3 * ring; // few enough wraps for the log's last lines
    const auto out = fixture.Drive(sound, *event, total);
    ASSERT_TRUE(sound.IsPlaying());
    EXPECT_EQ(Slice(out, 0, frames), samples);
    EXPECT_TRUE(Silent(Slice(out, 0, ring), frames)); // the silence the reset wrote
    for (std::size_t f = ring; f < total; ++f) {
        const std::size_t k = (f - ring) % frames;
        ASSERT_EQ(out[f * 2], samples[k * 2]) << f;
        ASSERT_EQ(out[f * 2 + 1], samples[k * 2 + 1]) << f;
    }
    EXPECT_EQ(log.Count("end reached"), 0);
    const long wraps = log.Count("SfxStreamed::Looping");
    EXPECT_GE(wraps, static_cast<long>((total - ring) / frames) - 1);
    EXPECT_LE(wraps, static_cast<long>((total + ring) / frames) + 1);
}

TEST(SfxTest, LoopingStreamThatDecodesNothingEnds) {
    SoundFixture fixture;
    fixture.Add("mute.ogg", OggBytes(1, 22050, 3000, 1, false));
    const auto event = std::make_shared<Audio::Event>();
    SfxStreamed sound("mute.ogg", event, true);
    ASSERT_EQ(sound.File()->Size(), 6000u);
    LogSince log;
    sound.Play(1.0f, true);
    // 22050 Hz mono: one block lasts 32768 output frames.
    const auto out = fixture.Drive(sound, *event, 12 * SfxStreamed::kBlockSize);
    EXPECT_FALSE(sound.IsPlaying());
    EXPECT_TRUE(Silent(out, 0));
    EXPECT_EQ(log.Count("SfxStreamed::Looping"), 1);
    EXPECT_EQ(log.Count("end reached"), 1);
}

} // namespace
