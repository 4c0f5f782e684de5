// The demo game's house part loaded through the whole engine, as a player's "New game" loads
// it: from the activation of its loading screen (the preload's first step) to the part being
// ready (the last of its pictures decoded and counted), with the loading screen's frame rate
// meanwhile and the longest frame of the second after. In the same run, interleaved: the same
// pictures read and decoded in a plain loop on one thread, and the bare clear-and-present loop's
// frame rate.
#include "Effects/Effects.h"
#include "FileSystem/Locator.h"
#include "Game/DirectX.h"
#include "Game/Engine.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Game/TexturePreload.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Texture.h"
#include "Platform/Window/CCustomMessageLoop.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <wx/init.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kRefresh = std::chrono::microseconds(16667);
// How long after a part is ready its frames are watched for a hitch.
constexpr auto kAfter = std::chrono::seconds(1);

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The time a frame spends in each stage of the frame pipeline, in milliseconds.
struct Stages {
    // The stage `name` begins (nullptr: the frame ends).
    void Enter(const char* name) {
        const Clock::time_point now = Clock::now();
        if (!current.empty()) {
            ms[current] += Ms(now - since);
        }
        current = name != nullptr ? name : "";
        since = now;
    }
    std::map<std::string, double> ms;
    std::string current;
    Clock::time_point since;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The game's preload target, noting when the preload starts (its first step) and when the last
// texture load ends.
class Timing : public PreloadTarget {
public:
    void LoadTexture(const MapResource& resource) override {
        Note();
        GameTexturePreload().LoadTexture(resource);
        std::lock_guard<std::mutex> lock(mutex_);
        end_ = std::max(end_, Clock::now());
    }
    void ReleaseTexture(const MapResource& resource) override {
        Note();
        GameTexturePreload().ReleaseTexture(resource);
    }
    void EvictManagedResources() override {
        Note();
        GameTexturePreload().EvictManagedResources();
    }
    void LoadSound(const SoundDef& sound) override {
        Note();
        GameTexturePreload().LoadSound(sound);
        std::lock_guard<std::mutex> lock(mutex_);
        end_ = std::max(end_, Clock::now());
    }

    void Reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        started_ = false;
        start_ = end_ = {};
    }
    bool Started() {
        std::lock_guard<std::mutex> lock(mutex_);
        return started_;
    }
    Clock::time_point Start() {
        std::lock_guard<std::mutex> lock(mutex_);
        return start_;
    }
    Clock::time_point End() {
        std::lock_guard<std::mutex> lock(mutex_);
        return end_;
    }

private:
    void Note() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!started_) {
            started_ = true;
            start_ = Clock::now();
        }
    }

    std::mutex mutex_;
    bool started_ = false;
    Clock::time_point start_, end_;
};

// The process-wide objects as the start-up routine makes them, over the assembled demo game,
// run to its main menu.
struct Demo {
    Demo() {
        // Whatever the caller chose wins; headless by default.
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        Locator::Instance().Init(KV_GAME_DIR);
        opts().windowed_ = true;
        dx = std::make_unique<ScopedGlobal<DirectX>>(g_dx);
        game = std::make_unique<ScopedGlobal<Game>>(g_game);
        effects = std::make_unique<ScopedGlobal<Effects>>(g_effects);
        engine = std::make_unique<Engine>();
        ::game().map_.SetPreloadTarget(&timing);
        RunTo("menu_main");
    }
    ~Demo() {
        ::game().map_.JoinPreload();
        ::game().map_.SetPreloadTarget(&GameTexturePreload());
    }

    // Frames until `state` is current (through its transition); false after 20 s.
    bool RunTo(const std::string& state) {
        const auto until = Clock::now() + std::chrono::seconds(20);
        while (::game().map_.Current() != state && Clock::now() < until) {
            engine->OnIdle();
        }
        return ::game().map_.Current() == state;
    }

    wxInitializer library;
    CCustomMessageLoop loop;
    ScopedGlobal<Opts::Data> opts_{g_opts};
    std::unique_ptr<ScopedGlobal<DirectX>> dx;
    std::unique_ptr<ScopedGlobal<Game>> game;
    std::unique_ptr<ScopedGlobal<Effects>> effects;
    std::unique_ptr<Engine> engine;
    Timing timing;
};

Demo& Shared() {
    static Demo demo;
    return demo;
}

// The house's pictures, as its part lists them.
std::vector<std::string> HousePictures() {
    std::vector<std::string> paths;
    for (const MapResource& resource : game().map_.GetParts().at("house").resources_) {
        if (resource.kind_ == MapResource::kSimple) {
            paths.push_back(resource.name_);
        }
    }
    return paths;
}

// The bare frame loop's rate on the same device.
double BareFps() {
    Gfx::Device& device = GfxLink::Device();
    constexpr int kFrames = 100;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kFrames; ++i) {
        device.BeginScene();
        device.Clear(0xFF000000);
        device.EndScene();
        device.Present();
    }
    return kFrames * 1000.0 / Ms(Clock::now() - start);
}

// The house's pictures read and decoded one after another on this thread, kept until all are
// decoded as the part keeps them; milliseconds.
double PlainDecodeMs(const std::vector<std::string>& paths) {
    Gfx::Device& device = GfxLink::Device();
    std::vector<std::shared_ptr<Gfx::Texture>> textures(paths.size());
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::vector<std::uint8_t> bytes;
        Locator::Instance().ReadAll(paths[i], bytes);
        device.CreateTextureFromFileInMemory(bytes.data(), bytes.size(), textures[i]);
    }
    return Ms(Clock::now() - start);
}

// Each round: the bare frame rate, the plain decode, then "New game" from the menu: the loading
// screen comes through its transition and its activation starts the preload, whose part is
// ready when its last picture is decoded, and a second of frames after that moves to its start
// screen; then back to the menu, which unloads the house. Memory freed by a round goes back to
// the system before the next measure, so each pays for its fresh pages alike, as the first load
// of a process does, whichever thread's heap it allocates from.
// Argument 1: the loading screen's frames are paced to a 60 Hz display, as a swap with vertical
// sync paces them (a frame that misses its refresh waits for the next); argument 0: they run
// back to back, as the offscreen swap lets them.
void HousePart(benchmark::State& state) {
    const bool paced = state.range(0) != 0;
    Demo& demo = Shared();
    Map& map = game().map_;
    const std::vector<std::string> paths = HousePictures();
    double readyMs = 0.0, plainMs = 0.0, loadingFrames = 0.0, bareFps = 0.0, worstMs = 0.0;
    double afterWorstMs = 0.0, afterExcessMs = 0.0;
    Stages worstStages;
    for (auto _ : state) {
        bareFps += BareFps();
        malloc_trim(0);
        plainMs += PlainDecodeMs(paths);
        malloc_trim(0);

        demo.timing.Reset();
        map.LoadPart("house", false);
        while (!demo.timing.Started()) {
            demo.engine->OnIdle();
        }
        // The loading screen's frames until the move it waits for, and on for a second after the
        // part is ready; those done before it was ready are the loading screen's frames
        // meanwhile, the others hand the part's pictures to the device.
        std::vector<Clock::time_point> frameEnds{Clock::now()};
        std::vector<Stages> frameStages;
        while (map.Current() == "house_loading" || Clock::now() < demo.timing.End() + kAfter) {
            Stages stages;
            demo.engine->ObserveStages([&stages](const char* name) { stages.Enter(name); });
            demo.engine->OnIdle();
            stages.Enter(nullptr);
            demo.engine->ObserveStages(nullptr);
            frameStages.push_back(std::move(stages));
            if (paced) {
                const auto refreshes = (Clock::now() - frameEnds.front()) / kRefresh + 1;
                std::this_thread::sleep_until(frameEnds.front() + refreshes * kRefresh);
            }
            frameEnds.push_back(Clock::now());
        }
        const Clock::time_point start = demo.timing.Start(), end = demo.timing.End();
        const double ready = Ms(end - start);
        state.SetIterationTime(ready / 1000.0);
        readyMs += ready;
        std::vector<double> after;
        for (std::size_t i = 1; i < frameEnds.size(); ++i) {
            const double frameMs = Ms(frameEnds[i] - frameEnds[i - 1]);
            if (frameEnds[i] <= end) {
                loadingFrames += 1.0;
                worstMs = std::max(worstMs, frameMs);
            } else if (frameEnds[i] <= end + kAfter) {
                after.push_back(frameMs);
                if (frameMs > afterWorstMs) {
                    worstStages = frameStages[i - 1];
                }
            }
        }
        if (!after.empty()) {
            const double worst = *std::max_element(after.begin(), after.end());
            afterWorstMs = std::max(afterWorstMs, worst);
            afterExcessMs = std::max(afterExcessMs, worst - Median(after));
        }
        if (!demo.RunTo("hall")) {
            state.SkipWithError("the hall never came");
            return;
        }
        map.LoadPart("intro", false);
        if (!demo.RunTo("menu_main")) {
            state.SkipWithError("the menu never came back");
            return;
        }
    }
    const double rounds = double(state.iterations());
    state.counters["pictures"] = double(paths.size());
    state.counters["ready_ms"] = readyMs / rounds;
    state.counters["plain_ms"] = plainMs / rounds;
    state.counters["ready_vs_plain"] = readyMs / plainMs;
    state.counters["loading_fps"] = loadingFrames * 1000.0 / readyMs;
    state.counters["worst_frame_ms"] = worstMs;
    // The first second after the part is ready: its longest frame, and how much longer that
    // is than the median frame of that second, in refreshes of a 60 Hz display; worst rounds.
    state.counters["after_worst_ms"] = afterWorstMs;
    state.counters["after_excess_refreshes"] = afterExcessMs / Ms(kRefresh);
    // Where that frame's time went, by the frame pipeline's stages.
    for (const auto& [name, ms] : worstStages.ms) {
        state.counters["after_worst_" + name + "_ms"] = ms;
    }
    state.counters["bare_fps"] = bareFps / rounds;
}

} // namespace

BENCHMARK(HousePart)->Arg(0)->Arg(1)->Iterations(8)->Unit(benchmark::kMillisecond)->UseManualTime();
