// Resident memory of the real executable at the end of the demo route (the main menu, into the
// house, through the hall, the study and the desk, back out and back to the menu with Escape),
// and the most it was resident with over the route, against a minimal SDL2 and OpenGL program that
// opens the same window and context and presents one cleared frame (bench/Game/MinimalGl.cpp). Each
// round runs both, one after the other, so a busy machine weighs on both alike; the counters are
// medians over the rounds. KV_BENCH_GAME names another game tree to measure.
#include "../support/Launch.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// The demo route: "New game" on the menu's panorama, and once the house has loaded, from the
// hall to the study and the desk, back out through the left border twice and to the menu with
// Escape. The game clock steps 17 ms a frame, as at a 60 Hz display, whatever the frames cost,
// so the transitions take the same frames on every machine; only the threaded loads take wall
// time, and each click after one waits several seconds of frames for it.
constexpr const char* kRoute = "step 17\n"
                               "at 400 move 864 254\n" // New game
                               "at 410 press left\n"
                               "at 411 release left\n"
                               "at 700 move 512 420\n" // the study door
                               "at 705 press left\n"
                               "at 706 release left\n"
                               "at 1000 move 512 500\n" // the desk
                               "at 1005 press left\n"
                               "at 1006 release left\n"
                               "at 1200 move 10 400\n" // the left border, twice
                               "at 1205 press left\n"
                               "at 1206 release left\n"
                               "at 1320 press left\n"
                               "at 1321 release left\n"
                               "at 1440 keydown Escape\n" // the menu
                               "at 1441 keyup Escape\n"
                               "at 1460 move 864 400\n"
                               "at 2400 close\n";

// The states the route activates, in order.
const std::vector<std::string> kPath = {
    "intro_loading -> activate", "menu_main -> activate", "house_loading -> activate",
    "hall -> activate",          "study -> activate",     "desk -> activate",
    "study -> activate",         "hall -> activate",      "menu_main -> activate"};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The activations of ordinary states in the log so far.
std::vector<std::string> Activations(const fs::path& log) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(log));
    for (std::string line; std::getline(in, line);) {
        if (line.size() > 11 && line.compare(line.size() - 11, 11, "-> activate") == 0 &&
            line.rfind("t_", 0) != 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

// A "Vm...:" line of the process's status in kB: "VmRSS:" now, "VmHWM:" its peak.
long StatusKb(pid_t pid, const std::string& field) {
    std::istringstream in(ReadFile("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(field, 0) == 0) {
            return std::strtol(line.c_str() + field.size(), nullptr, 10);
        }
    }
    return -1;
}

int Wait(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// The minimal program's resident memory in kB; -1 on failure.
long MinimalKb(const fs::path& folder) {
    const fs::path out = folder / "minimal.txt";
    const fs::path program = KV_MINIMAL_GL;
    const pid_t pid = bench::Spawn(program.string(), {}, {}, folder, out);
    if (pid < 0 || Wait(pid) != 0) {
        return -1;
    }
    long kb = -1;
    std::sscanf(ReadFile(out).c_str(), "rss_kb %ld", &kb);
    return kb;
}

struct Resident {
    long endKb = -1;
    long peakKb = -1;
};

// The engine's resident memory in kB at the end of the route, shortly after its last
// activation, and its peak until then; -1 when the run took another way.
Resident EngineKb(const fs::path& tree) {
    const fs::path log = tree / "route.log";
    fs::remove(log);
    std::ofstream(tree / "route.txt") << kRoute;
    const std::vector<std::string> env = {"KORVANTINE_SESSION=" + (tree / "route.txt").string()};
    const pid_t pid =
        bench::Spawn((tree / "Bin/korvantine").string(),
                     {"--windowed", "--verbose", "--log=" + log.string()}, env, tree, "/dev/null");
    Resident kb;
    if (pid < 0) {
        return kb;
    }
    const auto until = Clock::now() + std::chrono::seconds(300);
    while (Clock::now() < until) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return kb; // ended before the route did
        }
        const std::vector<std::string> seen = Activations(log);
        if (seen.size() >= kPath.size()) {
            if (seen == kPath) {
                // A few frames on the menu, as a player would stay there.
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                kb.endKb = StatusKb(pid, "VmRSS:");
                kb.peakKb = StatusKb(pid, "VmHWM:");
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Measured or off the route, the run has nothing more to show: SIGTERM closes the window.
    kill(pid, kb.endKb < 0 ? SIGKILL : SIGTERM);
    Wait(pid);
    return kb;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void DemoRouteMemory(benchmark::State& state) {
    const bench::GameCopy game(KV_GAME_DIR);
    if (!game.Made()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path& tree = game.Folder();
    std::vector<double> engine, peak, minimal, ratio, peakRatio;
    int offRoute = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const long m = MinimalKb(tree);
        const Resident e = EngineKb(tree);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (m <= 0) {
            state.SkipWithError("the minimal program failed");
            break;
        }
        if (e.endKb <= 0 || e.peakKb <= 0) {
            ++offRoute;
            continue;
        }
        engine.push_back(double(e.endKb) / 1024.0);
        peak.push_back(double(e.peakKb) / 1024.0);
        minimal.push_back(double(m) / 1024.0);
        ratio.push_back(double(e.endKb) / double(m));
        peakRatio.push_back(double(e.peakKb) / double(m));
    }
    state.counters["engine_MB"] = Median(engine);
    state.counters["minimal_MB"] = Median(minimal);
    state.counters["ratio"] = Median(ratio);
    state.counters["engine_peak_MB"] = Median(peak);
    state.counters["peak_ratio"] = Median(peakRatio);
    state.counters["off_route"] = offRoute;
}

} // namespace

BENCHMARK(DemoRouteMemory)->Iterations(3)->Unit(benchmark::kSecond)->UseManualTime();
