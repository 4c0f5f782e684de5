// The game's sound manager reached from the part loader, the preload target, scripts, states
// and panoramas, with good sounds and with sounds that cannot be made.

#include "../States/Probe.h"
#include "Game/TexturePreload.h"
#include "Game/XmlDom.h"
#include "SoundFiles.h"
#include "SoundFixture.h"
#include "States/Pano.h"
#include "support/GameFixture.h"
#include "support/TestSupport.h"

#include <functional>

namespace {

class GameSoundTest : public test::GameFixture {
protected:
    // Loads a map whose part "p" holds the given elements.
    static void LoadMap(const std::string& elements) {
        game().map_.Load(XmlDom::Child(
            XmlDom::Root(XmlDom::LoadString(
                R"(<korvantine><map autoload="none" menu="p"><part name="p" start="s" load="s" )"
                R"(effect=""><sounds/><textures/>)" +
                elements + "</part></map></korvantine>")),
            "map"));
    }

    test::SoundFixture sound_;
};

TEST_F(GameSoundTest, PartSoundsMusicAndScriptsUseTheGamesManager) {
    sound_.Add("a.wav", test::StereoWave(test::Pattern(100000)));
    sound_.Add("m.ogg", test::StereoWave(test::Pattern(100000)));
    sound_.Add("m.wav", test::StereoWave(test::Pattern(100000)));
    Sound::Manager& manager = game().sound_;

    GameTexturePreload().LoadSound(SoundDef{"a.wav", SoundDef::kStream | SoundDef::kLoop});
    ASSERT_NE(manager.Find("a.wav"), nullptr);
    EXPECT_TRUE(manager.Find("a.wav")->IsStreamed());
    EXPECT_TRUE(manager.Find("a.wav")->Loop());

    // Every music element of a part is a track, preloaded as a stream; a bad one is skipped.
    const auto load = LoadMap;
    load(R"(<music src="m.ogg"/>)");
    EXPECT_EQ(manager.Find("m.ogg"), nullptr);
    load(R"(<music src="m.wav" wait="5"/>)");
    ASSERT_NE(manager.Find("m.wav"), nullptr);
    EXPECT_TRUE(manager.Find("m.wav")->IsStreamed());
    // A state's "sound" asks for its track each time the state starts.
    test::Probe state;
    state.LoadCommon(
        XmlDom::Child(XmlDom::Root(XmlDom::LoadString(
                          R"(<korvantine><screen name="s" sound="m.wav"/></korvantine>)")),
                      "screen"),
        "p");
    EXPECT_FALSE(manager.IsFading("m.wav"));
    state.FireStart();
    EXPECT_TRUE(manager.IsFading("m.wav"));

    game().RegisterApi();
    game().lua_.Execute("fade('a.wav', 1, 10) play('b.mp3')");
    EXPECT_TRUE(manager.IsFading("a.wav"));
    EXPECT_TRUE(manager.Find("a.wav")->IsPlaying());
    // The sounds go with their game, before the test's device and settings.
    RenewGame();
}

// Each kind of sound that cannot be made, asked for on each path: the game goes on, the log
// says why once, and later requests of the same path stay quiet. The part's preload and the
// definition's music try again, and say so again.
TEST_F(GameSoundTest, ASoundThatCannotBeMadeIsLoggedOnceAndSkipped) {
    using test::Le16;
    using test::Le32;
    game().RegisterApi();
    opts().noidle_ = true;
    const std::string floats = test::PcmFormat(2, 44100, 32, 8, 3); // IEEE float samples
    const struct {
        const char* kind;
        const char* extension;
        std::string bytes; // none: the file is missing
        bool exists;
    } kinds[] = {
        {"missing", "wav", "", false},
        {"missing", "ogg", "", false},
        {"empty", "wav", "", true},
        {"not RIFF", "wav", "RIFX" + test::WaveBytes(floats, "abcdefgh", 8).substr(4), true},
        {"wrong format", "wav", test::WaveBytes(floats + Le16(0), std::string(64, 'x'), 64), true},
        {"truncated Vorbis", "ogg", test::OggBytes(2, 44100, 4000).substr(0, 120), true},
    };
    int panos = 0;
    const struct {
        const char* path;
        bool triesAgain;
        std::function<void(const std::string&)> ask;
    } paths[] = {
        {"preload", true,
         [](const std::string& src) {
             GameTexturePreload().LoadSound(SoundDef{src, 0});
         }},
        {"play", false, [](const std::string& src) { game().lua_.Execute("play('" + src + "')"); }},
        {"fade", false,
         [](const std::string& src) { game().lua_.Execute("fade('" + src + "', 1, 10)"); }},
        {"music element", true,
         [](const std::string& src) { LoadMap("<music src=\"" + src + "\"/>"); }},
        {"state sound", false,
         [](const std::string& src) {
             test::Probe state;
             state.LoadCommon(XmlDom::Child(XmlDom::Root(XmlDom::LoadString(
                                                "<korvantine><screen name=\"s\" sound=\"" + src +
                                                "\"/></korvantine>")),
                                            "screen"),
                              "p");
             state.FireStart();
             game().sound_.Update(game().Time());
         }},
        {"panorama", false,
         [&](const std::string& src) {
             // Preloaded with its part first, as a panorama's sounds are, then entered.
             const std::string name = "P" + std::to_string(++panos);
             LoadMap("<pano name=\"" + name + "\" src=\"p.dds\"><sound src=\"" + src +
                     "\" course=\"0\" pitch=\"0\"/></pano>");
             GameTexturePreload().LoadSound(game().map_.GetPart("p")->sounds_.at(src));
             const auto pano = game().map_.GetState(name);
             pano->FireStart();
             pano->Tick();
             pano->FireStop();
             game().sound_.Update(game().Time());
         }},
    };
    for (const auto& kind : kinds) {
        for (const auto& path : paths) {
            const std::string src = std::string(path.path) + " " + kind.kind + "." + kind.extension;
            SCOPED_TRACE(src);
            if (kind.exists) {
                sound_.Add(src, kind.bytes);
            }
            const std::string logged = "Cannot load sound '" + src + "': ";
            const auto count = [&](const test::LogSince& log) {
                long n = 0;
                for (const std::string& line : log.Lines()) {
                    n += line.rfind(logged, 0) == 0 && line.size() > logged.size() ? 1 : 0;
                }
                return n;
            };
            {
                test::LogSince log;
                EXPECT_NO_THROW(path.ask(src));
                EXPECT_EQ(count(log), 1);
            }
            if (path.path != std::string("panorama")) {
                test::LogSince log;
                EXPECT_NO_THROW(path.ask(src));
                EXPECT_EQ(count(log), path.triesAgain ? 1 : 0);
            }
            EXPECT_EQ(game().sound_.Find(src), nullptr);
        }
    }
    RenewGame();
}

} // namespace
