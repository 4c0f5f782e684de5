// A streamed sound refilled, restarted and faded on this thread while another thread mixes
// the device without pause, as the audio thread does.

#include "Platform/Audio/AudioTestSupport.h"
#include "Platform/Audio/Event.h"
#include "Sound/Sfx.h"
#include "Sound/SfxStreamed.h"
#include "SoundFiles.h"
#include "SoundFixture.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace test;

TEST(SfxThreadsTest, StreamRefillsWhileTheMixerRuns) {
    SoundFixture fixture;
    fixture.Add("s.wav", StereoWave(Pattern(120000)));
    const auto event = std::make_shared<Audio::Event>("SyncStream");
    Sound::SfxStreamed stream("s.wav", event, false);
    Sound::Sfx sfx("s.wav", Audio::Caps::CtrlVolume, false);

    std::atomic<bool> done{false};
    std::atomic<long> periods{0};
    std::thread mixer([&] {
        while (!done) {
            Render(fixture.Device(), 1024);
            ++periods;
        }
    });
    stream.Play(1.0f, true);
    sfx.Play(0.5f, true);
    int refills = 0;
    for (int turn = 0; turn < 3; ++turn) {
        while (stream.IsPlaying() && refills < 200) {
            if (event->Wait(std::chrono::milliseconds(50))) {
                event->Reset();
                stream.Update();
                ++refills;
                sfx.SetVolume(0.1f * static_cast<float>(refills % 10));
            }
        }
        stream.SeekStart();
        stream.Play(1.0f, true);
    }
    done = true;
    mixer.join();
    // Only an update ends a turn; how many blocks each update found behind the cursor depends
    // on how far the mixer ran meanwhile. Ending a turn takes the whole sound mixed.
    EXPECT_GE(refills, 3);
    EXPECT_GT(periods.load(), 117);
}

} // namespace
