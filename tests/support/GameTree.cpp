#include "support/GameTree.h"

#include "support/TestSupport.h"

namespace test {

namespace fs = std::filesystem;

void AssembleGameTree(const fs::path& dir, const fs::path& data) {
    const fs::path game = fs::path(KV_GAME_DIR) / "Data";
    const auto recursive = fs::copy_options::recursive;
    fs::create_directories(dir / "Bin");
    fs::create_directories(dir / "Save");
    fs::copy_file(GameExecutable(), dir / "Bin/korvantine");
    fs::copy(data, dir / "Data", recursive);
    for (const char* shared : {"effect", "gfx/common"}) {
        if (!fs::exists(dir / "Data" / shared)) {
            fs::create_directories(dir / "Data" / shared);
            fs::copy(game / shared, dir / "Data" / shared, recursive);
        }
    }
}

std::vector<std::string> HeadlessEnvironment() {
    return {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "ASAN_OPTIONS=detect_leaks=0"};
}

} // namespace test
