// The sound manager: creating sounds once by path, fades and single plays on a device in
// manual mode.

#include "ManagerFixture.h"
#include "Sound/Sfx.h"
#include "SoundFiles.h"

namespace {

using namespace test;

TEST_F(ManagerTest, LoadCreatesEachPathOnceAsItsFirstDefinitionSays) {
    fixture_.Add("a.wav", StereoWave(Pattern(500)));
    fixture_.Add("b.wav", StereoWave(Pattern(500)));
    fixture_.Add("c.wav", StereoWave(Pattern(500)));
    fixture_.Add("d.ogg", OggBytes(2, 44100, 2000));
    const struct {
        const char* src;
        unsigned int flags;
        bool late;
        bool streamed, ctrl3d, loop;
        const char* log;
    } cases[] = {
        {"a.wav", 0, false, false, false, false, "Loading sound file 'a.wav'"},
        {"b.wav", SoundDef::kPan | SoundDef::kLoop | SoundDef::kReverb, true, false, true, true,
         "Warning : preloading not enabled for b.wav"},
        {"c.wav", SoundDef::kStream | SoundDef::kPan, false, true, false, false,
         "Loading sound file 'c.wav'"},
        {"d.ogg", SoundDef::kStream | SoundDef::kLoop, false, true, false, true,
         "Loading sound file 'd.ogg'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.src);
        LogSince log;
        Sound::Base* sound = manager_.Load(SoundDef{c.src, c.flags}, c.late);
        ASSERT_NE(sound, nullptr);
        EXPECT_EQ(log.Lines(), std::vector<std::string>{c.log});
        EXPECT_EQ(sound->IsStreamed(), c.streamed);
        EXPECT_EQ((sound->Buffer().Flags() & Audio::Caps::Ctrl3D) != 0, c.ctrl3d);
        EXPECT_EQ(sound->Loop(), c.loop);
        EXPECT_EQ(manager_.Find(c.src), sound);
        EXPECT_EQ(manager_.FindStatic(c.src), c.streamed ? nullptr : sound);
        // Asked again, with other flags: the same sound, nothing logged.
        LogSince again;
        EXPECT_EQ(manager_.Load(SoundDef{c.src, SoundDef::kStream ^ c.flags}, true), sound);
        EXPECT_TRUE(again.Lines().empty());
    }
    // No known format: no sound. A missing file is logged and leaves nothing behind.
    EXPECT_EQ(manager_.Load(SoundDef{"x.mp3", 0}, false), nullptr);
    EXPECT_EQ(manager_.Load(SoundDef{"gone.wav", 0}, false), nullptr);
    EXPECT_EQ(manager_.Find("x.mp3"), nullptr);
    EXPECT_EQ(manager_.Find("gone.wav"), nullptr);
}

// A path that failed is not tried again, nor logged again, by late loads; a load that is not
// late (its part's preload) tries it once more.
TEST_F(ManagerTest, AFailedPathIsRememberedUntilItsPartLoadsAgain) {
    const std::string failed = "Cannot load sound 'later.wav': Cannot open WAV file: 'later.wav";
    {
        LogSince log;
        EXPECT_EQ(manager_.Load(SoundDef{"later.wav", 0}, true), nullptr);
        EXPECT_EQ(log.Count(failed), 1);
    }
    fixture_.Add("later.wav", StereoWave(Pattern(500)));
    {
        LogSince log;
        EXPECT_EQ(manager_.Load(SoundDef{"later.wav", 0}, true), nullptr);
        manager_.Play("later.wav");
        manager_.Fade("later.wav", 1.0f, 10.0f);
        EXPECT_TRUE(log.Lines().empty());
    }
    EXPECT_NE(manager_.Load(SoundDef{"later.wav", 0}, false), nullptr);
}

TEST_F(ManagerTest, FadeStartsRampsRetargetsAndEndsASound) {
    fixture_.Add("a.wav", StereoWave(Pattern(200000)));
    fixture_.Add("short.wav", StereoWave(Pattern(100)));
    opts().soundVolume_ = 0.5f;
    LogSince log;
    manager_.Fade("a.wav", 0.8f, 1000.0f);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Warning : preloading not enabled for a.wav"});
    ASSERT_TRUE(manager_.IsFading("a.wav"));
    EXPECT_FALSE(manager_.Find("a.wav")->IsStreamed());
    EXPECT_TRUE(manager_.Find("a.wav")->IsPlaying());
    EXPECT_FALSE(Looping("a.wav"));
    EXPECT_FLOAT_EQ(Volume("a.wav"), 0.0001f);

    // The fade value times the sound volume, read afresh each frame.
    Frame(500.0f);
    EXPECT_NEAR(Volume("a.wav"), (0.0001f + 0.7999f * 0.5f) * 0.5f, 1e-5f);
    Frame(600.0f);
    EXPECT_NEAR(Volume("a.wav"), 0.4f, 1e-6f);
    opts().soundVolume_ = 1.0f;
    Frame(10.0f);
    EXPECT_NEAR(Volume("a.wav"), 0.8f, 1e-6f);

    // A second fade only retargets: no restart from the beginning.
    const std::uint32_t position = Position("a.wav");
    ASSERT_GT(position, 0u);
    manager_.Fade("a.wav", 0.0f, 100.0f);
    EXPECT_EQ(Position("a.wav"), position);
    Frame(50.0f);
    EXPECT_NEAR(Volume("a.wav"), 0.4f, 1e-5f);
    LogSince removed;
    Frame(60.0f);
    EXPECT_EQ(removed.Lines(), std::vector<std::string>{"Sound 'a.wav' removed from fade"});
    EXPECT_FALSE(manager_.IsFading("a.wav"));
    EXPECT_FALSE(manager_.Find("a.wav")->IsPlaying());

    // A later fade starts it again from its beginning.
    manager_.Fade("a.wav", 1.0f, 100.0f);
    EXPECT_TRUE(manager_.Find("a.wav")->IsPlaying());
    EXPECT_EQ(Position("a.wav"), 0u);

    // A sound that ends by itself leaves the fades at the next frame.
    manager_.Fade("short.wav", 1.0f, 100.0f);
    Frame(10.0f);
    EXPECT_FALSE(manager_.IsFading("short.wav"));
    EXPECT_TRUE(manager_.IsFading("a.wav"));
}

TEST_F(ManagerTest, PlaySfxPlaysOnceFromTheStart) {
    fixture_.Add("a.wav", StereoWave(Pattern(200000)));
    fixture_.Add("s.wav", StereoWave(Pattern(200000)));
    opts().soundVolume_ = 0.5f;
    manager_.Play("a.wav");
    EXPECT_TRUE(manager_.Find("a.wav")->IsPlaying());
    EXPECT_FALSE(Looping("a.wav"));
    EXPECT_FLOAT_EQ(Volume("a.wav"), 0.5f);
    Frame(10.0f);
    ASSERT_GT(Position("a.wav"), 0u);
    // Played again: from the start at the new volume.
    manager_.PlaySfx("a.wav", 0.7f);
    EXPECT_EQ(Position("a.wav"), 0u);
    EXPECT_FLOAT_EQ(Volume("a.wav"), 0.35f);
    // On a fading sound the fade sets its volume again at the next frame.
    manager_.Fade("a.wav", 1.0f, 1.0f);
    Frame(10.0f);
    manager_.PlaySfx("a.wav", 0.7f);
    EXPECT_FLOAT_EQ(Volume("a.wav"), 0.35f);
    Frame(10.0f);
    EXPECT_NEAR(Volume("a.wav"), 0.5f, 1e-6f);

    // A streamed sound runs its ring looping.
    manager_.Load(SoundDef{"s.wav", SoundDef::kStream}, false);
    manager_.Play("s.wav");
    EXPECT_TRUE(Looping("s.wav"));

    // No known format: nothing for a single play nor for a fade.
    EXPECT_NO_THROW(manager_.Play("x.mp3"));
    EXPECT_NO_THROW(manager_.Fade("x.mp3", 1.0f, 10.0f));
    EXPECT_FALSE(manager_.IsFading("x.mp3"));
}

} // namespace
