// Frames per second of the whole frame pipeline on a state that draws nothing, so the frame
// is the frame effects alone, with the film look off ("clean") and on ("cinema"), against a
// bare clear-and-present loop on the same device in the same run. The "cpu_us" counter is the
// user-interface thread's CPU time per frame; the rasteriser's own threads are not in it.
// MenuVsBare draws the demo's main menu (the plain look) and the bare loop in alternating
// batches: its "ratio" is the median over the batches of the menu frame's time over the bare
// frame's, and "cpu_ratio" the same for the CPU time of the whole process (the rasteriser's
// threads included), which a busy machine disturbs less. Presents are not paced here.
#include "Effects/Effects.h"
#include "FileSystem/Locator.h"
#include "Game/DirectX.h"
#include "Game/Engine.h"
#include "Game/Game.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "States/Base.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

class Empty : public State::Base {
public:
    std::string GetEffect() override { return film_ ? "cinema" : "clean"; }
    bool ShowCursor() override { return false; }

    bool film_ = false;
};

double CpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double ThreadCpuSeconds() {
    return CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

// The process-wide objects as the start-up routine makes them, over the assembled demo
// game (its effect files and common textures), with the empty state made current.
struct Pipeline {
    Pipeline() {
        // Whatever the caller chose wins; headless by default.
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        Locator::Instance().Init(KV_GAME_DIR);
        opts().windowed_ = true;
        dx = std::make_unique<ScopedGlobal<DirectX>>(g_dx);
        game = std::make_unique<ScopedGlobal<Game>>(g_game);
        effects = std::make_unique<ScopedGlobal<Effects>>(g_effects);
        engine = std::make_unique<Engine>();
        ::dx().device()->SetPacing(false);
        ::game().map_.StoreState("empty", state);
        // The loading screen hands over to the menu once the part is loaded.
        RunUntil("menu_main");
    }
    // Frames until the state of that name is current (through a transition), 10 s at most.
    void RunUntil(const std::string& name) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (::game().map_.Current() != name && std::chrono::steady_clock::now() < until) {
            engine->OnIdle();
        }
    }
    void Enter(const std::string& name) {
        if (::game().map_.Current() != name) {
            ::game().map_.SetState(name);
            RunUntil(name);
        }
    }
    // Destroyed in reverse order, as the start-up routine tears down.
    CCustomMessageLoop loop;
    ScopedGlobal<Opts::Data> opts_{g_opts};
    std::unique_ptr<ScopedGlobal<DirectX>> dx;
    std::unique_ptr<ScopedGlobal<Game>> game;
    std::unique_ptr<ScopedGlobal<Effects>> effects;
    std::unique_ptr<Engine> engine;
    std::shared_ptr<Empty> state = std::make_shared<Empty>();
};

Pipeline& Shared() {
    static Pipeline pipeline;
    return pipeline;
}

void Report(benchmark::State& state, double cpu) {
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_us"] = cpu * 1e6 / double(state.iterations());
}

void BareFrame(Gfx::Device& device) {
    device.BeginScene();
    device.Clear(0xFF000000);
    device.EndScene();
    device.Present();
}

void BareLoop(benchmark::State& state) {
    Shared();
    Gfx::Device& device = *dx().device();
    const double cpu = ThreadCpuSeconds();
    for (auto _ : state) {
        BareFrame(device);
    }
    Report(state, ThreadCpuSeconds() - cpu);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void MenuVsBare(benchmark::State& state) {
    constexpr int kBatch = 20;
    Pipeline& pipeline = Shared();
    pipeline.Enter("menu_main");
    Gfx::Device& device = *dx().device();
    const auto seconds = [](auto from) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
    };
    std::vector<double> ratios, cpuRatios;
    double menu = 0, bare = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        for (int i = 0; i < kBatch; ++i) {
            BareFrame(device);
        }
        const double b = seconds(start);
        const double bCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu;
        start = std::chrono::steady_clock::now();
        cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        for (int i = 0; i < kBatch; ++i) {
            pipeline.engine->OnIdle();
        }
        const double m = seconds(start);
        const double mCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu;
        ratios.push_back(m / b);
        cpuRatios.push_back(mCpu / bCpu);
        menu += m;
        bare += b;
    }
    const double frames = double(state.iterations()) * kBatch;
    state.counters["menu_ms"] = menu * 1000.0 / frames;
    state.counters["bare_ms"] = bare * 1000.0 / frames;
    state.counters["ratio"] = Median(ratios);
    state.counters["cpu_ratio"] = Median(cpuRatios);
}

void WholeFrame(benchmark::State& state, bool film) {
    Pipeline& pipeline = Shared();
    pipeline.Enter("empty");
    pipeline.state->film_ = film;
    pipeline.engine->OnIdle();
    const double cpu = ThreadCpuSeconds();
    for (auto _ : state) {
        pipeline.engine->OnIdle();
    }
    Report(state, ThreadCpuSeconds() - cpu);
}

} // namespace

BENCHMARK(BareLoop)->UseRealTime()->MinTime(2.0);
BENCHMARK(MenuVsBare)->UseRealTime()->MinTime(4.0);
BENCHMARK_CAPTURE(WholeFrame, clean, false)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(WholeFrame, cinema, true)->UseRealTime()->MinTime(2.0);
