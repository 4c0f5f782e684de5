// A game saved and loaded through the real executable. The first run starts a new game,
// saves it in slot 1 and tries to save it again with more than the run may write (a full
// disk): the game goes on and the first save stays as it was. The second run loads the slot
// and finds the game as it was saved, the hint of an item whose name is not ASCII included.
// The clock steps 20 ms per frame and the preload runs
// inline, so every frame number below is the same in every run.
#include "FileSystem/Pack.h"
#include "Game/SaveInfo.h"
#include "PlayRun.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// The line of the log that begins with `start`, or "".
std::string LineStarting(const std::vector<std::string>& log, const std::string& start) {
    const auto found = std::find_if(
        log.begin(), log.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    return found != log.end() ? *found : "";
}

TEST(SavePlayTest, BlockedSaveKeepsTheGameAndTheSlotWhichLoadsInTheNextRun) {
    test::TempDir dir;
    test::AssembleGameTree(dir.Path(), fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
    for (const char* file : {"korvantine.xml", "hints.txt"}) {
        fs::copy_file(fs::path(KV_SOURCE_DIR) / "tests/Game/Play/savegame" / file,
                      dir / "Data" / file, fs::copy_options::overwrite_existing);
    }
    const fs::path slot = dir / "Save/save_1.kgs";

    // New game, the lamp clicked: saved, then blocked by a 64 KiB limit on every file.
    const play::Played saving = play::Play(dir.Path(),
                                           "step 20\n"
                                           "at 60 move 256 384  # new game\n"
                                           "at 62 press left\n"
                                           "at 63 release left\n"
                                           "at 110 move 32 32  # the lamp\n"
                                           "at 112 press left\n"
                                           "at 113 release left\n"
                                           "at 160 close\n",
                                           {"--nomultithread"}, {.fileSizeLimit = 64 * 1024});
    EXPECT_EQ(saving.process.status, 0) << saving.process.err;
    const std::vector<std::string> saved = {"tower activate",     "save true",
                                            "blocked save false", "old save unchanged",
                                            "yard activate",      "Destroying window"};
    EXPECT_EQ(test::OnlyLines(saving.log, saved), saved);
    EXPECT_EQ(LineStarting(saving.log, "Cannot write save game '"),
              "Cannot write save game '" + slot.string() + "'");
    EXPECT_TRUE(fs::is_regular_file(slot));
    EXPECT_FALSE(fs::exists(slot.string() + ".tmp"));
    const std::string time = LineStarting(saving.log, "time ");
    ASSERT_NE(time, "");

    // A new run loads the slot: the summary, the play time, vars, the items, the lamp's
    // state in the tower (a state whose name begins with 't'), and the collected pages.
    const play::Played loading = play::Play(dir.Path(),
                                            "step 20\n"
                                            "at 60 move 768 384  # load\n"
                                            "at 62 press left\n"
                                            "at 63 release left\n"
                                            "at 92 keydown I  # the bars open\n"
                                            "at 93 keyup I\n"
                                            "at 95 move 25 745  # the first item\n"
                                            "at 150 capture hint.png\n"
                                            "at 152 keydown I  # the bars close\n"
                                            "at 153 keyup I\n"
                                            "at 170 move 32 32  # the lamp\n"
                                            "at 172 press left\n"
                                            "at 173 release left\n"
                                            "at 200 move 512 384  # the page\n"
                                            "at 202 press left\n"
                                            "at 203 release left\n"
                                            "at 240 close\n",
                                            {"--nomultithread"});
    EXPECT_EQ(loading.process.status, 0) << loading.process.err;
    const std::vector<std::string> loaded = {"slot 1: castle " + time.substr(5),
                                             "load true",
                                             time,
                                             "vars 1 two nil",
                                             "items true true",
                                             "tower activate",
                                             "lamp is on",
                                             "page p1",
                                             "page p2",
                                             "page p3",
                                             "Destroying window"};
    std::vector<std::string> expected = loaded;
    expected.erase(std::find(expected.begin(), expected.end(), "page p2"));
    std::string log;
    for (const std::string& line : loading.log) {
        log += line + "\n";
    }
    EXPECT_EQ(test::OnlyLines(loading.log, loaded), expected) << log;
    EXPECT_EQ(LineStarting(loading.log, "Bad save game"), "");

    // The hint box of "cl\xE9" holds "La cl\u00E9 dor\u00E9e" (12 characters: 112 pixels
    // wide from x = 25), not the name's 3 (40 pixels): it darkens the frame at x = 115.
    const test::Picture hint = test::LoadPicture(dir / "hint.png");
    const auto green = [&](int x, int y) {
        return (hint.argb[std::size_t(y) * hint.width + std::size_t(x)] >> 8) & 0xFF;
    };
    EXPECT_LT(green(115, 701), green(115, 690) * 3 / 4);
    EXPECT_EQ(green(140, 701), green(140, 690));
}

// A save nested 300,000 elements deep (which crashed the game's load once) is refused with one
// log line and game_load's false; the game goes on and ends normally.
TEST(SavePlayTest, DeepSaveIsRefusedAndTheGameGoesOn) {
    test::TempDir dir;
    test::AssembleGameTree(dir.Path(), fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
    fs::copy_file(fs::path(KV_SOURCE_DIR) / "tests/Game/Play/savegame/korvantine.xml",
                  dir / "Data/korvantine.xml", fs::copy_options::overwrite_existing);
    const fs::path slot = dir / "Save/save_1.kgs";
    fs::create_directories(slot.parent_path());
    std::string deep = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<game>";
    for (int i = 0; i < 300'000; ++i) {
        deep += "<x>";
    }
    for (int i = 0; i < 300'000; ++i) {
        deep += "</x>";
    }
    deep += "</game>";
    Pack::Entries entries;
    entries["data"].assign(deep.begin(), deep.end());
    entries["info"] = SaveInfo::Encode(5.0f, "castle");
    ASSERT_TRUE(Pack::Write(entries, slot.string()));

    const play::Played loading = play::Play(dir.Path(),
                                            "step 20\n"
                                            "at 60 move 768 384  # load\n"
                                            "at 62 press left\n"
                                            "at 63 release left\n"
                                            "at 100 close\n",
                                            {"--nomultithread"});
    EXPECT_EQ(loading.process.status, 0) << loading.process.err;
    const std::vector<std::string> lines = {"slot 1: castle 5", "load false", "vars nil nil nil",
                                            "Destroying window"};
    EXPECT_EQ(test::OnlyLines(loading.log, lines), lines);
    EXPECT_EQ(LineStarting(loading.log, "Bad save game"),
              "Bad save game '" + slot.string() + "': the XML nests more than 64 elements");
}

} // namespace
