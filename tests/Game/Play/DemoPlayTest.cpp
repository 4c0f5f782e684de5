// The demo game played by session scripts, as a player would: the main menu's panorama and
// its options, the prologue, the house from a new game to the end with every kind of scene
// and control on the way, and a game saved, quit and loaded in a second run. The clock steps
// 200 ms per frame to keep the runs short; the preload runs inline (--nomultithread) so the
// loading screens hand over on the same frame in every run. Frames are compared in 8x8
// blocks, so the film grain does not bloat the expected pictures.
#include "PlayRun.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class DemoPlayTest : public ::testing::Test {
protected:
    DemoPlayTest() { test::AssembleGameTree(dir_.Path(), fs::path(KV_GAME_DIR) / "Data"); }

    play::Played Play(const std::string& walk, const play::PlayOptions& options = {}) {
        play::Played played = play::Play(dir_.Path(), play::Walk(200, walk),
                                         {"--nomultithread", "--verbose"}, options);
        EXPECT_EQ(played.process.status, 0) << played.process.err;
        return played;
    }

    void ExpectFrames(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            EXPECT_TRUE(test::MatchesExpected(dir_ / (std::string(name) + ".png"),
                                              play::Expected(std::string("demo_") + name + ".png"),
                                              {.scale = 8}));
        }
    }

    test::TempDir dir_;
};

// From "New game" to the end of the house: the hall with its flickering lamp, a locked door
// and a page behind the painting; the study through white with two pictures flashing by and
// its candle; the desk with its stuck drawer sliding open on the key, the note and the diary's
// pages; the window and the cut-scene onto the lighthouse gallery, whose page, lamp and stair
// are clicked while the view turns; the key and the candle held from the bag; the end and the
// menu again. Heard through SDL's disk driver: the music under it all, and the one-shots of
// the doors, the drawer, the key and the candle above it.
TEST_F(DemoPlayTest, PlaysFromTheMenuToTheEnd) {
    const fs::path audio = dir_ / "audio.raw";
    const play::Played played =
        Play("12 move 864 254   # New game: the view turns to the door\n"
             "16 capture menu.png\n"
             "17 press left\n"
             "18 release left\n"
             "34 click 170 270  # the painting\n"
             "38 click 830 450  # the cellar door, locked\n"
             "42 capture hall.png\n"
             "43 click 512 420  # the study door\n"
             "50 capture flash.png\n"
             "68 click 396 425  # the candle\n"
             "72 click 512 500  # the desk\n"
             "82 click 512 690  # the drawer, stuck\n"
             "86 click 530 460  # the note, a page of the diary\n"
             "96 click 820 695  # on to the page behind the painting\n"
             "106 capture page.png\n"
             "107 click 10 400  # the border: back to the desk\n"
             "117 click 512 690 # the drawer slides open\n"
             "122 capture drawer.png\n"
             "123 press left    # the key\n"
             "124 release left\n"
             "125 click 512 760 # back to the study\n"
             "135 click 512 300 # the window\n"
             "145 click 335 300 # the lighthouse\n"
             "158 capture cut.png\n"
             "186 capture gallery.png\n"
             "187 click 850 622 # the page at the lantern's foot\n"
             "191 click 512 330 # the lamp\n"
             "195 move 0 767    # the view turns left and down\n"
             "203 move 512 700\n"
             "208 capture stairs.png\n"
             "209 click 760 560 # down the stair\n"
             "226 rclick        # the bag\n"
             "228 move 75 745\n"
             "236 capture bag.png\n"
             "237 press left    # the key on the pointer\n"
             "238 release left\n"
             "239 move 830 450\n"
             "241 capture key.png\n"
             "242 press left    # used on the cellar door\n"
             "243 release left\n"
             "250 click 512 314 # the way down, too dark\n"
             "254 click 25 745  # the candle from the bag\n"
             "258 click 512 314 # lights it\n"
             "270 capture ending.png\n"
             "271 press left\n"
             "272 release left\n"
             "281 capture menu_end.png\n"
             "282 close\n",
             {.environment = play::DiskAudio(audio), .timeout = std::chrono::seconds(180)});

    const std::vector<std::string> path = {
        "intro_loading -> activate",
        "menu_main -> activate",
        "house_loading -> activate",
        "hall -> activate",
        "A page of the keeper's diary was tucked behind the frame.",
        "The cellar door is locked.",
        "t_hall_study_0 -> start",
        "t_hall_study_1 -> start",
        "study -> activate",
        "Item 'candle' put to inventory",
        "desk -> activate",
        "The drawer is stuck.",
        "diary_1 -> activate",
        "diary_3 -> activate",
        "desk -> activate",
        "Item 'key' put to inventory",
        "study -> activate",
        "window -> activate",
        "Music::play music\\night.ogg",
        "gallery_arrival -> activate",
        "gallery -> activate",
        "Words: page",
        "Words: lamp",
        "Words: stairs",
        "hall -> activate",
        "The key turns, and the cellar door swings open.",
        "Music::play music\\cellar.wav",
        "cellar -> activate",
        "It is pitch dark down there. You need a light.",
        "Item 'candle' removed from inventory",
        "ending -> activate",
        "menu_main -> activate",
        "Destroying window",
    };
    EXPECT_EQ(test::OnlyLines(played.log, path), path);
    ExpectFrames({"menu", "hall", "flash", "page", "drawer", "cut", "gallery", "stairs", "bag",
                  "key", "ending", "menu_end"});

    // The sound: after its first music, never more than a moment of silence; and the
    // one-shots standing out above the music and the sea, one burst for each.
    const std::vector<float> peaks = play::TenthPeaks(audio);
    ASSERT_GT(peaks.size(), 100u) << "ten seconds at least";
    const auto heard = std::find_if(peaks.begin(), peaks.end(), [](float p) { return p > 0.005f; });
    ASSERT_NE(heard, peaks.end()) << "nothing was heard";
    const auto quiet = std::count_if(heard, peaks.end(), [](float p) { return p <= 0.005f; });
    EXPECT_LT(quiet * 10, peaks.end() - heard) << "more than a tenth of the run was silent";
    int bursts = 0;
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        bursts += peaks[i] >= 0.4f && (i == 0 || peaks[i - 1] < 0.4f) ? 1 : 0;
    }
    EXPECT_GE(bursts, 5) << "the doors, the drawer, the key and the candle";
}

// The main menu turns its view to each button's place; the options change the music's
// volume and the light shaders at once and write them to the options file; the lit window
// of the house plays the prologue, which the right button skips, taking its subtitle with
// it; and "New game" starts afresh: the page behind the painting is found again.
TEST_F(DemoPlayTest, MenuOptionsPrologueAndNewGame) {
    const play::Played played = Play("12 move 864 428  # Load game: the view turns to the sea\n"
                                     "22 capture menu_sea.png\n"
                                     "23 click 864 486  # Options, through white\n"
                                     "33 move 675 270   # the music slider's knob, dragged\n"
                                     "35 press left\n"
                                     "36 move 790 270\n"
                                     "38 release left\n"
                                     "39 click 652 480  # the light shaders switched on\n"
                                     "43 capture options.png\n"
                                     "44 click 512 655  # back\n"
                                     "60 click 412 395  # the house's lit window\n"
                                     "74 capture prologue.png\n"
                                     "75 rclick\n"
                                     "88 click 864 254  # New game\n"
                                     "106 click 170 270 # the painting\n"
                                     "110 key Escape\n"
                                     "122 capture menu_ingame.png\n"
                                     "123 click 864 254 # New game again\n"
                                     "135 click 170 270\n"
                                     "139 key Escape\n"
                                     "151 click 864 544 # Quit\n",
                                     {.timeout = std::chrono::seconds(120)});
    const std::vector<std::string> path = {
        "menu_main -> activate",
        "menu_options -> activate",
        "menu_main -> activate",
        "prologue -> activate",
        "prologue -> exit",
        "menu_main -> activate",
        "Hall, visit 1",
        "A page of the keeper's diary was tucked behind the frame.",
        "menu_main -> activate",
        "Hall, visit 1",
        "A page of the keeper's diary was tucked behind the frame.",
        "menu_main -> activate",
        "Deinitializing game data"};
    EXPECT_EQ(test::OnlyLines(played.log, path), path);
    ExpectFrames({"menu_sea", "options", "prologue", "menu_ingame"});
    const std::string options = test::ReadFile(dir_ / "Bin/korvantine.cfg");
    EXPECT_NE(options.find("opts_video_light = true ;"), std::string::npos) << options;
    EXPECT_NE(options.find("opts_audio_music = 0.88"), std::string::npos) << options;
}

// A game saved from the in-game menu into slot 2, the program quit from the menu and
// started again: the load screen shows the slot's part and play time, and loading it loads
// the house again and goes on in the study, the candle gone from the desk and the page
// behind the painting already found.
TEST_F(DemoPlayTest, SavesQuitsAndLoadsInASecondRun) {
    const play::Played first = Play("12 click 864 254  # New game\n"
                                    "30 click 170 270  # the painting\n"
                                    "34 click 512 420  # the study\n"
                                    "62 click 396 425  # the candle\n"
                                    "66 key Escape\n"
                                    "78 click 864 370  # Save game\n"
                                    "88 click 512 287  # slot 2\n"
                                    "93 capture saved.png\n"
                                    "94 click 512 655  # back\n"
                                    "104 click 864 544 # Quit\n",
                                    {.timeout = std::chrono::seconds(120)});
    EXPECT_EQ(test::OnlyLines(first.log, {"The game is saved in slot 2."}),
              std::vector<std::string>{"The game is saved in slot 2."});
    ASSERT_TRUE(fs::exists(dir_ / "Save/save_2.kgs"));

    const play::Played second = Play("12 click 864 428  # Load game\n"
                                     "22 capture load.png\n"
                                     "23 click 512 287  # slot 2\n"
                                     "45 capture loaded.png\n"
                                     "46 click 512 760  # out to the hall\n"
                                     "56 click 170 270  # the painting\n"
                                     "60 close\n",
                                     {.timeout = std::chrono::seconds(120)});
    const std::vector<std::string> path = {"menu_load -> activate",
                                           "house_loading -> activate",
                                           "study -> activate",
                                           "hall -> activate",
                                           "A landscape of the hills behind the cape.",
                                           "Destroying window"};
    EXPECT_EQ(test::OnlyLines(second.log, path), path);
    ExpectFrames({"saved", "load", "loaded"});
}

} // namespace
