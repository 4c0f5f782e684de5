// A small game full of authoring mistakes played through the real executable: a subtitle
// file with bad lines (and a byte-order mark and CR LF line ends), an image whose start
// state does not exist, pictures that cannot be had, a slider without its knob, a panorama
// with a field of view of 0, and two skips in one input batch of a video and of a cut-scene.
// Each mistake is logged with its place, once, and the game plays on to its end.
#include "../../Game/Play/PlayRun.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const char* const kDefinition = R"(<?xml version="1.0" encoding="windows-1252"?>
<korvantine>
  <settings><idle period_x="0.5" period_y="0.3" ampl_x="0.01" ampl_y="0.005" delay="8000"/></settings>
  <cursor tex="gfx\cursor.png">
    <context index="0" name=""/><context index="1" name="do"/><context index="1" name="look"/>
  </cursor>
  <inventory tex="" back=""/>
  <library tex=""/>
  <map autoload="p" menu="menu">
    <part name="p" start="menu" load="load" effect="clean">
      <sounds/>
      <textures>
        <stripe name="lostwalk" src="lost\walk.png" length="4" width="32" height="32">
          <fragment frame="1" length="4" x="0" y="0"/>
        </stripe>
      </textures>
      <loading name="load" src="l_intro.png"/>
      <menu name="menu" src="title.png">
        <image name="typo" tex="title.png" frames="4" x="0" y="0" start="opne">
          <state name="open" frame="3"/>
        </image>
        <image name="lamp" tex="lost\lamp.png" frames="2" x="100" y="100" start="a">
          <state name="a" frame="1" length="2" delay="50" loop="yes"/>
        </image>
        <imagemapped name="walker" tex="lostwalk" x="200" y="200" start="w">
          <state name="w" frame="1" length="4" delay="50" loop="yes"/>
        </imagemapped>
        <fader name="volume" x="0.3" right="0.7" top="0.9" tex="lost\knob.png">
          <event name="start">set_pos(1, 0) trace('volume at ' .. posy())</event>
        </fader>
        <zone name="film" x="100" y="420" w="200" h="50" context="do">move('film')</zone>
        <zone name="go" x="392" y="420" w="240" h="50" context="do">move('intro')</zone>
      </menu>
      <video name="film" src="video\intro.ogg" subtitles="bad.txt" timeout="60000">
        <event name="exit">trace('film exit') move('menu')</event>
      </video>
      <cut name="intro" pano="room" subtitles="bad.txt">
        <event name="exit">trace('intro exit') move('room')</event>
        <script time="0">set_pos(3.14159, 0, 1)</script>
      </cut>
      <pano name="room" src="gfx\sky.dds" fov="0">
        <zone name="behind" pos="-0.6,-0.6,0.6,0.6" context="do">trace('behind clicked')</zone>
        <zone name="ahead" pos="2.6,-0.5,3.7,0.5" context="look">trace('ahead clicked')</zone>
      </pano>
    </part>
  </map>
</korvantine>
)";

const char* const kSubtitles = "\xEF\xBB\xBF# A note: with a colon\r\n"
                               "500 :A space before the colon\r\n"
                               "-100:A negative time\r\n"
                               "1000:A good line\r\n"
                               "2500:The last good line";

// Two releases of Escape in one batch, at frame `at`.
std::string DoubleSkip(int at) {
    const std::string frame = "at " + std::to_string(at);
    return frame + " keydown Escape\n" + frame + " keyup Escape\n" + frame + " keydown Escape\n" +
           frame + " keyup Escape\n";
}

long CountOf(const std::vector<std::string>& log, const std::string& line) {
    return std::count(log.begin(), log.end(), line);
}

TEST(MistakesPlayTest, EachMistakeIsLoggedOnceAndTheGamePlaysOn) {
    test::TempDir dir;
    test::AssembleGameTree(dir.Path(), fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
    fs::create_directories(dir / "Data/video");
    fs::copy_file(fs::path(KV_GAME_DIR) / "Data/video/intro.ogg", dir / "Data/video/intro.ogg");
    test::WriteFile(dir / "Data/korvantine.xml", kDefinition);
    test::WriteFile(dir / "Data/bad.txt", kSubtitles);

    // The menu (by frame 60), the film and back, the cut-scene and on to the panorama, where
    // three clicks anywhere find what lies ahead.
    const play::Played played = play::Play(
        dir.Path(),
        "step 20\nat 62 move 200 445\nat 64 press left\nat 65 release left\n" + DoubleSkip(161) +
            "at 240 move 512 445\nat 242 press left\nat 243 release left\n" + DoubleSkip(321) +
            "at 410 move 512 384\nat 412 press left\nat 413 release left\n"
            "at 415 move 100 100\nat 417 press left\nat 418 release left\n"
            "at 420 move 900 700\nat 422 press left\nat 423 release left\n"
            "at 440 close\n",
        {"--nomultithread"});
    ASSERT_EQ(played.process.status, 0) << played.process.err;
    const std::vector<std::string>& log = played.log;

    const std::string skipped = "' is not a whole number of milliseconds; the line is skipped";
    for (const std::string line :
         {"Image 'typo' of state 'menu' has no image state 'opne' to start in; it is not shown",
          "Fader 'volume' of state 'menu' has no knob picture 'lost\\knob.png'; the knob is not "
          "drawn"}) {
        EXPECT_EQ(CountOf(log, line), 1) << line;
    }
    EXPECT_EQ(CountOf(log, "volume at 1"), 2) << "the knobless slider moves for scripts";
    // Read by the video and by the cut-scene.
    for (const std::string& line :
         {"Subtitles file 'bad.txt', line 1: the time '# A note" + skipped,
          "Subtitles file 'bad.txt', line 2: the time '500 " + skipped,
          "Subtitles file 'bad.txt', line 3: the time '-100" + skipped}) {
        EXPECT_EQ(CountOf(log, line), 2) << line;
    }
    // Over two visits of the menu of some 80 frames each: the preload's attempt, then at
    // most one per visit.
    EXPECT_LE(CountOf(log, "Failed to load texture 'lost\\lamp.png'"), 3);
    EXPECT_LE(CountOf(log, "Failed to load texture 'lost\\walk.png'"), 3);

    const std::vector<std::string> story = {"film exit",     "intro exit",    "ahead clicked",
                                            "ahead clicked", "ahead clicked", "Destroying window"};
    EXPECT_EQ(test::OnlyLines(log, {"film exit", "intro exit", "ahead clicked", "behind clicked",
                                    "Destroying window"}),
              story);
}

// Pictures of the definition that are drawn every frame (a screen's, a flash screen's, a
// panorama's cube map, the pointer atlas, the inventory bars) and a pointer context the
// definition lacks, while the pointer rests on the zone that names it: each failure is logged
// once per visit, with the state that wanted the picture, not once per frame; the next visit
// tries the picture again.
const char* const kMissingPictures = R"(<?xml version="1.0" encoding="windows-1252"?>
<korvantine>
  <settings><idle period_x="0.5" period_y="0.3" ampl_x="0.01" ampl_y="0.005" delay="8000"/></settings>
  <cursor tex="lost\cursor.png"><context index="0" name=""/><context index="1" name="do"/></cursor>
  <inventory tex="lost\items.png" back="lost\bar.png"><item name="key" index="0"/></inventory>
  <library tex="lost\books.png"/>
  <map autoload="p" menu="hall">
    <part name="p" start="hall" load="load" effect="clean">
      <sounds/>
      <textures/>
      <loading name="load" src="l_intro.png"/>
      <screen name="hall" src="lost\hall.png">
        <event name="start">inv_put('key')</event>
        <zone name="door" x="0" y="0" w="1024" h="768" context="look">move('sky')</zone>
      </screen>
      <pano name="sky" src="lost\sky.dds">
        <event name="activate">trace('sky activate') move('hall')</event>
      </pano>
      <transition name="t" from="hall" to="sky">
        <flash screen="lost\flash.png" in="100" out="100" delay="400"/>
      </transition>
    </part>
  </map>
</korvantine>
)";

TEST(MistakesPlayTest, PicturesDrawnEveryFrameAreLoggedOncePerVisit) {
    test::TempDir dir;
    test::AssembleGameTree(dir.Path(), fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
    test::WriteFile(dir / "Data/korvantine.xml", kMissingPictures);

    // The hall by frame 100, its bars opened with I; the door clicked at frame 160; the flash
    // and the panorama until frame 320.
    const play::Played played = play::Play(
        dir.Path(),
        "step 20\nat 100 keydown I\nat 101 keyup I\nat 160 press left\nat 161 release left\n"
        "at 320 close\n",
        {"--nomultithread"});
    ASSERT_EQ(played.process.status, 0) << played.process.err;
    const std::vector<std::string>& log = played.log;
    ASSERT_EQ(CountOf(log, "sky activate"), 1) << "the game went on to the panorama";

    EXPECT_EQ(CountOf(log, "Warning: no such context 'look'"), 1);
    EXPECT_EQ(CountOf(log, "Screen 'hall' has no picture 'lost\\hall.png'"), 2)
        << "once for each of the two visits";
    for (const std::string line : {"Screen 't_hall_sky_0' has no picture 'lost\\flash.png'",
                                   "Panorama 'sky' has no cube map 'lost\\sky.dds'"}) {
        EXPECT_EQ(CountOf(log, line), 1) << line;
    }
    // The preload's attempt, then one for each visit.
    EXPECT_LE(CountOf(log, "Failed to load texture 'lost\\hall.png'"), 3);
    for (const char* path : {"lost\\flash.png", "lost\\sky.dds"}) {
        EXPECT_LE(CountOf(log, "Failed to load texture '" + std::string(path) + "'"), 2) << path;
    }
    for (const char* path :
         {"lost\\cursor.png", "lost\\items.png", "lost\\bar.png", "lost\\books.png"}) {
        EXPECT_EQ(CountOf(log, "Failed to load texture '" + std::string(path) + "'"), 1) << path;
    }
}

} // namespace
