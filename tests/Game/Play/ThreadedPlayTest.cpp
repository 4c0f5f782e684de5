// The real executable with its preload worker and decoding threads on, playing a game that
// switches parts back and forth: each switch has the worker load one part's textures and
// release the other's while the loading screen and the transitions draw. Built with
// ThreadSanitizer, the program reports any race in the engine's code and then ends with a failing
// status; the Mesa driver's own threads are kept out of the reports by
// tests/support/tsan-driver.supp.
#include "PlayRun.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

TEST(ThreadedPlayTest, PartSwitchesThroughTheWorkerEndCleanly) {
    test::TempDir dir;
    test::AssembleGameTree(dir.Path(), fs::path(KV_SOURCE_DIR) / "tests/Game/Definition/game/Data");
    fs::copy_file(fs::path(KV_SOURCE_DIR) / "tests/Game/Play/threaded/korvantine.xml",
                  dir / "Data/korvantine.xml", fs::copy_options::overwrite_existing);
    play::PlayOptions options;
    options.environment.push_back(
        "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=" KV_SOURCE_DIR
        "/tests/support/tsan-driver.supp");
    // The game leaves by itself on its eighth visit to the title; the frame limit only ends a run
    // that hangs.
    options.timeout = std::chrono::seconds(240);
    const play::Played played = play::Play(dir.Path(), "step 20\nat 20000 close\n", {}, options);
    EXPECT_EQ(played.process.status, 0) << played.process.err;
    EXPECT_EQ(played.process.err.find("ThreadSanitizer"), std::string::npos) << played.process.err;
    std::vector<std::string> laps;
    for (int lap = 1; lap <= 8; ++lap) {
        laps.push_back("lap " + std::to_string(lap));
        if (lap < 8) {
            laps.push_back("pano activate");
        }
    }
    EXPECT_EQ(test::OnlyLines(played.log, laps), laps);
}

} // namespace
