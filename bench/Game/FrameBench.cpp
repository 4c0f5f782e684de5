// Frames per second of the whole frame pipeline on a state that draws nothing, so the frame
// is the frame effects alone, with the film look off ("clean") and on ("cinema"), against a
// bare clear-and-present loop on the same device in the same run. The "cpu_us" counter is the
// user-interface thread's CPU time per frame; the rasteriser's own threads are not in it.
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

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

namespace {

class Empty : public State::Base {
public:
    std::string GetEffect() override { return film_ ? "cinema" : "clean"; }
    bool ShowCursor() override { return false; }

    bool film_ = false;
};

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
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
        ::game().map_.StoreState("empty", state);
        ::game().map_.SetState("empty");
        // Through the transition from the loading screen.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (::game().map_.Current() != "empty" && std::chrono::steady_clock::now() < until) {
            engine->OnIdle();
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

void BareLoop(benchmark::State& state) {
    Shared();
    Gfx::Device& device = *dx().device();
    const double cpu = ThreadCpuSeconds();
    for (auto _ : state) {
        device.BeginScene();
        device.Clear(0xFF000000);
        device.EndScene();
        device.Present();
    }
    Report(state, ThreadCpuSeconds() - cpu);
}

void WholeFrame(benchmark::State& state, bool film) {
    Pipeline& pipeline = Shared();
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
BENCHMARK_CAPTURE(WholeFrame, clean, false)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(WholeFrame, cinema, true)->UseRealTime()->MinTime(2.0);
