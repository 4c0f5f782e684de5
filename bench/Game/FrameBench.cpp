// Frames per second of the whole frame pipeline on a state that draws nothing, so the frame
// is the frame effects alone, with the film look off ("clean") and on ("cinema"), against a
// bare clear-and-present loop on the same device in the same run. The "cpu_us" counter is the
// user-interface thread's CPU time per frame; the rasteriser's own threads are not in it.
// MenuVsBare draws a menu of the demo with the plain look, its main menu (a panorama: the sky
// is a full-screen cube map lookup) or its options menu (a flat picture), and the bare loop in
// alternating batches, with a third: a frame of one full-screen picture (the options menu's)
// and nothing else, the least any menu showing a picture costs. "ratio" is the median over the
// batches of the menu frame's time over the bare frame's, "picture_ratio" the same for the
// picture frame, and "cpu_ratio" the same for the CPU time of the whole process (the rasteriser's
// threads included), which a busy machine disturbs less. Presents are not paced here.
#include "Effects/Effects.h"
#include "FileSystem/Locator.h"
#include "Game/DirectX.h"
#include "Game/Engine.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Texture.h"
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
        // The option globals the menus' scripts read, as the start-up routine publishes them.
        ::opts().Init();
        GfxLink::Device().SetPacing(false);
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

// The least a frame showing a picture can cost: the bare frame with one full-screen quad of
// the options menu's picture instead of the clear.
void PictureFrame(Gfx::Device& device, const std::shared_ptr<Gfx::Texture>& picture) {
    struct Vertex {
        float x, y, z, rhw, u, v;
    };
    const float bottom = 768.0f / 1024.0f;
    const Vertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0, 0},
                            {1023.5f, -0.5f, 0, 1, 1, 0},
                            {-0.5f, 767.5f, 0, 1, 0, bottom},
                            {1023.5f, 767.5f, 0, 1, 1, bottom}};
    device.BeginScene();
    device.SetTexture(0, picture);
    device.SetFvf(Gfx::FvfXyzRhw | Gfx::FvfTex1);
    device.DrawPrimitiveUp(Gfx::Primitive::TriangleStrip, 2, quad, sizeof(Vertex));
    device.SetTexture(0, nullptr);
    device.EndScene();
    device.Present();
}

void BareLoop(benchmark::State& state) {
    Shared();
    Gfx::Device& device = GfxLink::Device();
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

void MenuVsBare(benchmark::State& state, const char* name) {
    constexpr int kBatch = 20;
    Pipeline& pipeline = Shared();
    pipeline.Enter(name);
    Gfx::Device& device = GfxLink::Device();
    const auto seconds = [](auto from) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
    };
    const std::shared_ptr<Gfx::Texture> picture = GetTexMgr().Background("pics\\menu\\options.png");
    std::vector<double> ratios, cpuRatios, pictureRatios;
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
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i) {
            PictureFrame(device, picture);
        }
        const double p = seconds(start);
        ratios.push_back(m / b);
        cpuRatios.push_back(mCpu / bCpu);
        pictureRatios.push_back(p / b);
        menu += m;
        bare += b;
    }
    const double frames = double(state.iterations()) * kBatch;
    state.counters["menu_ms"] = menu * 1000.0 / frames;
    state.counters["bare_ms"] = bare * 1000.0 / frames;
    state.counters["ratio"] = Median(ratios);
    state.counters["cpu_ratio"] = Median(cpuRatios);
    state.counters["picture_ratio"] = Median(pictureRatios);
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
BENCHMARK_CAPTURE(MenuVsBare, panorama, "menu_main")->UseRealTime()->MinTime(4.0);
BENCHMARK_CAPTURE(MenuVsBare, flat, "menu_options")->UseRealTime()->MinTime(4.0);
BENCHMARK_CAPTURE(WholeFrame, clean, false)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(WholeFrame, cinema, true)->UseRealTime()->MinTime(2.0);
