#include "PlayRun.h"

namespace play {

namespace fs = std::filesystem;

Played Play(const fs::path& dir, const std::string& script, std::vector<std::string> args,
            std::uint64_t fileSizeLimit) {
    test::WriteFile(dir / "session.txt", script);
    test::StopOptions stop;
    stop.fileSizeLimit = fileSizeLimit;
    stop.timeout = std::chrono::seconds(60);
    stop.environment = test::HeadlessEnvironment();
    stop.environment.push_back("KORVANTINE_SESSION=" + (dir / "session.txt").string());
    args.push_back("--log=run.log");
    Played played;
    played.process = test::RunProcessUntil((dir / "Bin/korvantine").string(), args, dir, stop);
    if (fs::exists(dir / "run.log")) {
        played.log = test::SplitLines(test::ReadFile(dir / "run.log"));
    }
    return played;
}

fs::path Expected(const std::string& name) {
    return fs::path(KV_SOURCE_DIR) / "tests/Game/Play/expected" / name;
}

} // namespace play
