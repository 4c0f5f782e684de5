// A small game full of sounds and films that cannot be played, run through the real
// executable: every one is logged once and skipped, the films show on black, and the game
// reaches its end.

#include "../Game/Play/PlayRun.h"
#include "../Sound/SoundFiles.h"
#include "VideoFiles.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// The films move on to each other at their timeouts; the title screen plays, fades and asks
// for music that cannot be made, and the panorama after it places two such sounds and ends
// the game.
const char* const kDefinition = R"(<?xml version="1.0" encoding="windows-1252"?>
<korvantine>
  <settings><idle period_x="0.5" period_y="0.25" ampl_x="0.02" ampl_y="1e-3" delay="4000"/></settings>
  <cursor tex="gfx\cursor.png"><context index="0" name=""/></cursor>
  <inventory tex="" back=""/>
  <library tex=""/>
  <map autoload="intro" menu="main">
    <part name="intro" start="small" load="l_intro" effect="clean">
      <sounds>
        <sound src="sound\gone.wav"/><sound src="sound\empty.wav"/>
        <sound src="music\cut.ogg" stream="yes"/>
      </sounds>
      <textures/>
      <music src="music\gone.ogg"/>
      <video name="small" src="video\small.ogg" timeout="1200">
        <event name="exit">move('gone')</event>
      </video>
      <video name="gone" src="video\gone.ogg" timeout="300">
        <event name="exit">move('vorbis')</event>
      </video>
      <video name="vorbis" src="video\vorbis.ogg" timeout="300">
        <event name="exit">move('title')</event>
      </video>
      <screen name="title" src="title.png" sound="music\cut.ogg">
        <event name="activate">
          play('sound\\gone.wav'); fade('sound\\empty.wav', 1, 100)
          play('sound\\notriff.wav'); fade('sound\\gone.wav', 0, 10); move('gate')
        </event>
      </screen>
      <pano name="gate" src="gfx\sky.dds">
        <sound src="sound\gone.wav" course="0" pitch="0"/>
        <sound src="sound\notriff.wav" course="1" pitch="0"/>
        <event name="activate">trace('gate reached'); game_exit()</event>
      </pano>
      <loading name="l_intro" src="l_intro.png"/>
      <menu name="main" src="title.png"/>
    </part>
  </map>
</korvantine>
)";

class BadMediaPlayTest : public ::testing::Test {
protected:
    BadMediaPlayTest() {
        test::AssembleGameTree(dir_.Path(),
                               fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
        const fs::path data = dir_ / "Data";
        test::WriteFile(data / "korvantine.xml", kDefinition);
        TheoraWriter::Params params;
        params.frames = 25;
        params.width = 320;
        params.height = 240;
        test::WriteFile(data / "video/small.ogg", videotest::FlatVideo(params, [](int) {
                            return videotest::Yuv{150, 100, 180};
                        }));
        test::WriteFile(data / "video/vorbis.ogg", test::OggBytes(2, 44100, 20000));
        test::WriteFile(data / "sound/empty.wav", "");
        test::WriteFile(data / "sound/notriff.wav",
                        "RIFX" +
                            test::WaveBytes(test::PcmFormat(1, 22050, 16, 2), "ab", 2).substr(4));
        test::WriteFile(data / "music/cut.ogg", test::OggBytes(2, 44100, 20000).substr(0, 300));
    }

    test::TempDir dir_;
};

std::uint32_t Rgb(const test::Picture& picture, int x, int y) {
    return picture.argb[std::size_t(y) * picture.width + std::size_t(x)] & 0xFFFFFF;
}

TEST_F(BadMediaPlayTest, EveryBadFileIsLoggedOnceAndTheGameGoesOn) {
    const play::Played played = play::Play(dir_.Path(),
                                           "step 20\n"
                                           "at 70 capture small.png\n"
                                           "at 900 close\n",
                                           {"--nomultithread"});
    EXPECT_EQ(played.process.status, 0) << played.process.err;
    EXPECT_EQ(test::OnlyLines(played.log, {"gate reached"}),
              std::vector<std::string>{"gate reached"});
    const auto count = [&](const std::string& start) {
        return std::count_if(played.log.begin(), played.log.end(),
                             [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    };
    for (const char* sound : {"sound\\gone.wav", "sound\\empty.wav", "sound\\notriff.wav",
                              "music\\cut.ogg", "music\\gone.ogg"}) {
        EXPECT_EQ(count(std::string("Cannot load sound '") + sound + "': "), 1) << sound;
    }
    for (const char* film : {"video\\gone.ogg", "video\\vorbis.ogg"}) {
        EXPECT_EQ(count(std::string("Cannot play video '") + film + "': "), 1) << film;
    }
    // The 320x240 film fills the top-left quarter of the screen; the rest is black.
    const test::Picture small = test::LoadPicture(dir_ / "small.png");
    EXPECT_GT(Rgb(small, 256, 192) >> 16, 0xC0u);
    EXPECT_LE(Rgb(small, 768, 576), 0x080808u);
    EXPECT_LE(Rgb(small, 768, 100), 0x080808u);
    EXPECT_LE(Rgb(small, 100, 576), 0x080808u);
}

} // namespace
