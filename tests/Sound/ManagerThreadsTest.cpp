// The sound manager's maps shared by the preload worker's Load and the user-interface
// thread's frame updates and lookups.

#include "ManagerFixture.h"
#include "SoundFiles.h"

#include <array>
#include <atomic>
#include <thread>

namespace {

using namespace test;

TEST_F(ManagerTest, ConcurrentLoadsKeepTheFirstSoundOfEachPath) {
    constexpr int kSounds = 6;
    std::vector<std::string> names;
    for (int k = 0; k < kSounds; ++k) {
        names.push_back("s" + std::to_string(k) + ".wav");
        fixture_.Add(names.back(), StereoWave(Pattern(300000)));
    }
    // A streamed sound plays so that every frame refills from the streamed map.
    fixture_.Add("music.wav", StereoWave(Pattern(300000)));
    manager_.AddMusic(Sound::MusicTrack{"music.wav", false, 0.0f});
    manager_.PlayMusic("music.wav");

    std::array<std::array<Sound::Base*, kSounds>, 2> got{};
    std::atomic<bool> done{false};
    auto worker = [&](int w) {
        for (int k = 0; k < kSounds; ++k) {
            const unsigned int flags = (k % 2 == 0) ? SoundDef::kStream : 0u;
            got[w][k] = manager_.Load(SoundDef{names[k], flags}, false);
            // A missing file is tried by each preload, beside the frames' late requests.
            manager_.Load(SoundDef{"gone.wav", flags}, false);
        }
    };
    std::thread first(worker, 0);
    std::thread second(worker, 1);
    std::thread watch([&] {
        first.join();
        second.join();
        done = true;
    });
    while (!done) {
        Frame(20.0f, 2048);
        manager_.Find(names[0]);
        manager_.Play("gone.wav");
    }
    watch.join();
    for (int k = 0; k < kSounds; ++k) {
        SCOPED_TRACE(names[k]);
        ASSERT_NE(got[0][k], nullptr);
        EXPECT_EQ(got[0][k], got[1][k]);
        EXPECT_EQ(manager_.Find(names[k]), got[0][k]);
        EXPECT_EQ(got[0][k]->IsStreamed(), k % 2 == 0);
    }
    EXPECT_EQ(manager_.Find("gone.wav"), nullptr);
    // How long the loads took decides how far the music got, so only its survival is checked.
    EXPECT_NE(manager_.Find("music.wav"), nullptr);
}

} // namespace
