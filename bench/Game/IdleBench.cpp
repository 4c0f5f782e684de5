// The engine idling on the demo's main menu, headless, where the swap never waits for the
// display: presented frames per second, the cores its process keeps busy (all threads, the
// rasteriser's included), and the CPU time of one frame. A run that keeps to the display's
// refresh shows fps near the refresh rate (60 Hz on SDL's offscreen driver, which names none)
// and "cores" near cpu_ms_per_frame x fps / 1000. KV_BENCH_GAME names another game tree.
#include "../support/Launch.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Whether the log has the line, within `seconds`.
bool WaitForLine(const fs::path& log, const std::string& line, int seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < until) {
        std::ifstream in(log);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        if (text.find(line) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void MenuIdle(benchmark::State& state) {
    const bench::GameCopy game(KV_GAME_DIR);
    if (!game.Made()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path& folder = game.Folder();
    const std::string engine = game.Executable();
    double frames = 0, cpu = 0, wall = 0;
    for (auto _ : state) {
        fs::remove(folder / "idle.log");
        // The verbose log names each state as it becomes current; it writes nothing per frame.
        bench::Launched run(engine, {"--windowed", "--verbose", "--log=idle.log"}, folder);
        if (!run.Running() || !WaitForLine(folder / "idle.log", "menu_main -> activate", 60)) {
            state.SkipWithError("the menu did not show");
            break;
        }
        // Past the menu's first frames, then a steady stretch.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        run.TakeSwaps();
        const double cpu0 = run.CpuSeconds();
        const std::uint64_t t0 = bench::NowNs();
        std::this_thread::sleep_for(std::chrono::seconds(4));
        frames += double(run.TakeSwaps());
        cpu += run.CpuSeconds() - cpu0;
        wall += double(bench::NowNs() - t0) * 1e-9;
    }
    if (frames > 0 && wall > 0) {
        state.counters["fps"] = frames / wall;
        state.counters["cores"] = cpu / wall;
        state.counters["cpu_ms_per_frame"] = cpu * 1000.0 / frames;
    }
}

} // namespace

BENCHMARK(MenuIdle)->Iterations(3)->Unit(benchmark::kSecond);
