#include "PlayRun.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace play {

namespace fs = std::filesystem;

Played Play(const fs::path& dir, const std::string& script, std::vector<std::string> args,
            const PlayOptions& options) {
    test::WriteFile(dir / "session.txt", script);
    test::StopOptions stop;
    stop.timeout = options.timeout;
    stop.fileSizeLimit = options.fileSizeLimit;
    stop.environment = test::HeadlessEnvironment();
    stop.environment.push_back("KORVANTINE_SESSION=" + (dir / "session.txt").string());
    stop.environment.insert(stop.environment.end(), options.environment.begin(),
                            options.environment.end());
    args.push_back("--log=run.log");
    // Each run's own log: a run in the same tree again starts a new one.
    fs::remove(dir / "run.log");
    Played played;
    played.process = test::RunProcessUntil((dir / "Bin/korvantine").string(), args, dir, stop);
    if (fs::exists(dir / "run.log")) {
        played.log = test::SplitLines(test::ReadFile(dir / "run.log"));
    }
    return played;
}

std::string Walk(unsigned step, const std::string& text) {
    std::ostringstream out;
    out << "step " << step << "\n";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        unsigned frame = 0;
        std::string action;
        if (!(words >> frame >> action)) {
            continue;
        }
        std::string rest;
        std::getline(words, rest);
        if (action == "click") {
            out << "at " << frame << " move" << rest << "\nat " << frame + 2 << " press left\nat "
                << frame + 3 << " release left\n";
        } else if (action == "rclick") {
            out << "at " << frame << " press right\nat " << frame + 1 << " release right\n";
        } else if (action == "key") {
            out << "at " << frame << " keydown" << rest << "\nat " << frame + 1 << " keyup" << rest
                << "\n";
        } else {
            out << "at " << frame << " " << action << rest << "\n";
        }
    }
    return out.str();
}

fs::path Expected(const std::string& name) {
    return fs::path(KV_SOURCE_DIR) / "tests/Game/Play/expected" / name;
}

std::vector<std::string> DiskAudio(const fs::path& file) {
    return {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + file.string()};
}

std::vector<float> TenthPeaks(const fs::path& file) {
    constexpr std::size_t kFrames = 4410; // a tenth of a second at 44100 Hz
    const std::string bytes = test::ReadFile(file);
    std::vector<float> peaks;
    const std::size_t samples = bytes.size() / 2;
    for (std::size_t start = 0; start + kFrames * 2 <= samples; start += kFrames * 2) {
        int peak = 0;
        for (std::size_t i = start; i < start + kFrames * 2; ++i) {
            std::int16_t s;
            std::memcpy(&s, bytes.data() + i * 2, 2);
            peak = std::max(peak, std::abs(int(s)));
        }
        peaks.push_back(float(peak) / 32768.0f);
    }
    return peaks;
}

} // namespace play
