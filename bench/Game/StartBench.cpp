// Exec to the first presented frame: the engine on the assembled demo game (windowed, headless)
// against a minimal SDL 2 + OpenGL program that opens the same window and context and presents
// one cleared frame (MinimalGl.cpp), started alternately in the same run. The time runs from
// just before the program is spawned to the return of its first buffer swap, as the swap clock
// preloaded into both reports it. Figures are medians over the rounds; "ratio" is the engine's
// median over the minimal program's. KV_BENCH_GAME names another game tree to measure.
#include "../support/Launch.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 15;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Milliseconds from the spawn to the first swap; negative when no frame came.
double FirstFrameMs(const std::string& program, const std::vector<std::string>& args,
                    const fs::path& folder) {
    bench::Launched run(program, args, folder);
    std::uint64_t swap = 0;
    if (!run.Running() || !run.NextSwap(swap, 60000)) {
        return -1.0;
    }
    return double(swap - run.StartNs()) * 1e-6;
}

void ExecToFirstFrame(benchmark::State& state) {
    const bench::GameCopy game(KV_GAME_DIR);
    if (!game.Made()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path& folder = game.Folder();
    const std::string engine = game.Executable();
    const std::vector<std::string> args = {"--windowed", "--log=start.log"};
    std::vector<double> engineMs, minimalMs;
    for (auto _ : state) {
        // One round of each first, not counted: caches and the options file settle.
        FirstFrameMs(KV_MINIMAL_GL, {}, folder);
        FirstFrameMs(engine, args, folder);
        for (int round = 0; round < kRounds; ++round) {
            minimalMs.push_back(FirstFrameMs(KV_MINIMAL_GL, {}, folder));
            engineMs.push_back(FirstFrameMs(engine, args, folder));
        }
    }
    if (std::count_if(engineMs.begin(), engineMs.end(), [](double ms) { return ms < 0; }) > 0 ||
        std::count_if(minimalMs.begin(), minimalMs.end(), [](double ms) { return ms < 0; }) > 0) {
        state.SkipWithError("a program showed no frame");
        return;
    }
    const double e = Median(engineMs), m = Median(minimalMs);
    state.counters["engine_ms"] = e;
    state.counters["minimal_ms"] = m;
    state.counters["ratio"] = m > 0 ? e / m : 0.0;
}

} // namespace

BENCHMARK(ExecToFirstFrame)->Iterations(1)->Unit(benchmark::kMillisecond);
