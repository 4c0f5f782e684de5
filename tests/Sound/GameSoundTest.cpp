// The game's sound manager reached from the part loader, the preload target and scripts.

#include "../States/Probe.h"
#include "Game/TexturePreload.h"
#include "Game/XmlDom.h"
#include "SoundFixture.h"
#include "support/GameFixture.h"

namespace {

class GameSoundTest : public test::GameFixture {
protected:
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

    // Every music element of a part is a track, preloaded as a stream; a bad one fails.
    const auto load = [](const std::string& music) {
        game().map_.Load(XmlDom::Child(
            XmlDom::Root(XmlDom::LoadString(
                R"(<korvantine><map autoload="none" menu="p"><part name="p" start="s" load="s" )"
                R"(effect=""><sounds/><textures/>)" +
                music + "</part></map></korvantine>")),
            "map"));
    };
    EXPECT_ANY_THROW(load(R"(<music src="m.ogg"/>)"));
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

} // namespace
