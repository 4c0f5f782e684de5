// The music player: idle silence, cross-fades at the music volume, forced tracks, waits
// after a track's end, and the `music` element.

#include "Game/XmlDom.h"
#include "ManagerFixture.h"
#include "SoundFiles.h"

namespace {

using namespace test;
using Sound::Music;

class MusicTest : public ManagerTest {
protected:
    MusicTest() {
        // Long tracks keep playing; the short one ends within a ring's turn.
        fixture_.Add("a.wav", StereoWave(Pattern(2000)));
        fixture_.Add("b.wav", StereoWave(Pattern(400000)));
        fixture_.Add("c.wav", StereoWave(Pattern(400000)));
    }
    Music& music() { return manager_.GetMusic(); }
    void Add(const char* src, bool force = false, float wait = 0.0f) {
        manager_.AddMusic(Sound::MusicTrack{src, force, wait});
    }
};

TEST_F(MusicTest, IdlesInSilenceUntilATrackIsAskedFor) {
    LogSince log;
    manager_.Update(now_);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Waiting"});
    for (int k = 0; k < 3; ++k) {
        Frame(1e9f);
    }
    // The current name and an empty one ask for nothing.
    music().play("silence");
    music().play("");
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Waiting"});
    EXPECT_EQ(music().Next(), "silence");
    EXPECT_EQ(music().GetState(), Music::kWaiting);
    EXPECT_EQ(music().Current(), "silence");
}

TEST_F(MusicTest, TracksCrossFadeAtTheMusicVolume) {
    Add("b.wav");
    Add("c.wav");
    LogSince log;
    manager_.PlayMusic("b.wav");
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"Music::play b.wav", "Switching to next track"}));
    EXPECT_EQ(music().Previous(), "silence");
    EXPECT_TRUE(Looping("b.wav"));
    Frame(1000.0f);
    EXPECT_NEAR(Volume("b.wav"), (0.0001f + 0.9999f * 0.5f) * 0.35f, 1e-5f);
    Frame(1000.0f);
    EXPECT_NEAR(Volume("b.wav"), 0.35f, 1e-6f);

    // b fades out while c fades in, both at the music volume.
    manager_.PlayMusic("c.wav");
    Frame(1000.0f);
    EXPECT_NEAR(Volume("b.wav"), 0.5f * 0.35f, 1e-5f);
    EXPECT_NEAR(Volume("c.wav"), (0.0001f + 0.9999f * 0.5f) * 0.35f, 1e-5f);

    // Back to b before it is out: c fades out, b turns round from where it is. b is now
    // current, so it follows the music volume.
    manager_.PlayMusic("b.wav");
    EXPECT_EQ(music().Previous(), "c.wav");
    Frame(1000.0f);
    EXPECT_NEAR(Volume("b.wav"), (0.5f + 0.5f * 0.5f) * 0.35f, 1e-5f);
    EXPECT_NEAR(Volume("c.wav"), 0.5f * 0.5f * 0.35f, 1e-4f);
    LogSince removed;
    Frame(1100.0f);
    EXPECT_EQ(removed.Count("Sound 'c.wav' removed from fade"), 1);
    EXPECT_FALSE(manager_.Find("c.wav")->IsPlaying());
    EXPECT_NEAR(Volume("b.wav"), 0.35f, 1e-6f);

    // Silence fades the track out and leaves the player waiting.
    manager_.PlayMusic("silence");
    Frame(2100.0f);
    EXPECT_FALSE(manager_.IsFading("b.wav"));
    Frame(10.0f);
    EXPECT_EQ(music().GetState(), Music::kWaiting);
    Frame(1e9f);
    EXPECT_EQ(music().GetState(), Music::kWaiting);
}

// Three changes within one cross-fade: the first track is neither the previous nor the
// current one any more, yet it fades on at the music volume, never jumping to another level.
TEST_F(MusicTest, AFadingOutTrackKeepsTheMusicVolumeAfterQuickChanges) {
    Add("a.wav");
    Add("b.wav");
    Add("c.wav");
    opts().soundVolume_ = 1.0f;
    manager_.PlayMusic("b.wav");
    Frame(2000.0f);
    manager_.PlayMusic("c.wav");
    Frame(500.0f);
    const float before = Volume("b.wav");
    manager_.PlayMusic("a.wav");
    EXPECT_EQ(music().Previous(), "c.wav");
    float last = before;
    for (int k = 1; k <= 3; ++k) {
        Frame(250.0f);
        EXPECT_NEAR(Volume("b.wav"), (0.75f - 0.125f * static_cast<float>(k)) * 0.35f, 1e-5f) << k;
        EXPECT_LT(Volume("b.wav"), last);
        last = Volume("b.wav");
    }
}

// A track whose file cannot be loaded plays as silence: the player waits without trying it
// again and again, and moves on when another track is asked for.
TEST_F(MusicTest, ATrackThatCannotLoadPlaysAsSilence) {
    for (const bool force : {false, true}) {
        SCOPED_TRACE(force);
        const std::string gone = force ? "gone-forced.wav" : "gone.wav";
        Add(gone.c_str(), force);
        Add("b.wav");
        LogSince log;
        manager_.PlayMusic(gone);
        for (int k = 0; k < 5; ++k) {
            Frame(100.0f);
        }
        EXPECT_EQ(log.Count("Switching to next track"), 1);
        EXPECT_EQ(log.Count("Waiting"), 1);
        EXPECT_EQ(music().GetState(), Music::kWaiting);
        EXPECT_FALSE(manager_.IsFading(gone));
        manager_.PlayMusic("b.wav");
        Frame(10.0f);
        EXPECT_EQ(music().Current(), "b.wav");
        EXPECT_TRUE(manager_.IsFading("b.wav"));
        manager_.PlayMusic("silence");
        Frame(2100.0f);
        Frame(10.0f);
    }
}

TEST_F(MusicTest, AnEndedTrackWaitsThenPlaysTheTrackAskedForOrItselfAgain) {
    for (const bool force : {false, true}) {
        SCOPED_TRACE(force);
        Add("a.wav", force, 500.0f);
        Add("b.wav");
        manager_.PlayMusic("a.wav");
        Frame(10.0f);
        if (force) {
            // A forced track plays on; the request waits for its end and its wait.
            manager_.PlayMusic("b.wav");
            EXPECT_EQ(music().Current(), "a.wav");
            EXPECT_EQ(music().Next(), "b.wav");
            EXPECT_FALSE(manager_.IsFading("b.wav"));
        }
        ASSERT_TRUE(PlayOut("a.wav"));
        LogSince log;
        Frame(10.0f);
        EXPECT_EQ(log.Lines(),
                  (std::vector<std::string>{"Sound 'a.wav' removed from fade", "Waiting"}));
        Frame(400.0f);
        EXPECT_EQ(music().GetState(), Music::kWaiting);
        Frame(101.0f);
        EXPECT_EQ(music().GetState(), Music::kPlaying);
        const std::string expected = force ? "b.wav" : "a.wav";
        EXPECT_EQ(music().Current(), expected);
        EXPECT_TRUE(manager_.IsFading(expected));
        EXPECT_EQ(Position(expected), 0u);
        EXPECT_EQ(music().Previous(), force ? "a.wav" : "");
        // Back to silence for the next round.
        manager_.PlayMusic("silence");
        Frame(2100.0f);
        Frame(10.0f);
    }
}

TEST_F(MusicTest, ReadsTheMusicElement) {
    const struct {
        const char* xml;
        bool ok;
        bool force;
        float wait;
    } cases[] = {
        {R"(<music src="a.ogg"/>)", true, false, 0.0f},
        {R"(<music src="a.ogg" force="yes" wait="250.5"/>)", true, true, 250.5f},
        {R"(<music src="a.ogg" force="" wait="-3"/>)", true, true, -3.0f},
        {R"(<music src="a.ogg" force="no" wait="1e3"/>)", true, false, 1000.0f},
        {R"(<music src="a.ogg" wait="soon"/>)", false, false, 0.0f},
        {R"(<music src="a.ogg" wait="nan"/>)", false, false, 0.0f},
        {R"(<music force="yes"/>)", false, false, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        const XmlDom::Document doc =
            XmlDom::LoadString(std::string("<korvantine>") + c.xml + "</korvantine>");
        const XmlDom::Element music = XmlDom::Child(XmlDom::Root(doc), "music");
        if (!c.ok) {
            EXPECT_ANY_THROW(Music::ReadTrack(music));
            continue;
        }
        const Sound::MusicTrack track = Music::ReadTrack(music);
        EXPECT_EQ(track.src_, "a.ogg");
        EXPECT_EQ(track.force_, c.force);
        EXPECT_FLOAT_EQ(track.wait_, c.wait);
    }
    // "silence" is reserved: a definition cannot make it forced and keep music from starting.
    Add("silence", true);
    Add("b.wav");
    manager_.PlayMusic("b.wav");
    EXPECT_TRUE(manager_.IsFading("b.wav"));
}

} // namespace
