// The render pass runs for every control of the current state in every frame. A control with
// no "render" script should cost one lookup of its event table on top of its own Render.
// Compares the pass over a state's worth of zones (each with a few other event scripts)
// against calling Render on the same controls directly, in the same run: compare the
// items_per_second of the two.
#include "States/Controls/Area.h"
#include "States/Controls/ControlMap.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kControls = 40;

State::Control::ControlMap<State::Control::FlatControl> MakeZones() {
    State::Control::ControlMap<State::Control::FlatControl> zones;
    for (int i = 0; i < kControls; ++i) {
        auto zone = std::make_shared<State::Control::Area>();
        zone->events_ = {{"activate", "x = 1"}, {"start", "x = 2"}, {"stop", "x = 3"}};
        zones["zone" + std::to_string(i)] = zone;
    }
    return zones;
}

void BM_RenderPassWithoutScripts(benchmark::State& bench) {
    const auto zones = MakeZones();
    for (auto _ : bench) {
        State::Control::ApplyPass(zones, State::Control::Base::RenderPass);
    }
    bench.SetItemsProcessed(bench.iterations() * kControls);
}

void BM_RenderCallsOnly(benchmark::State& bench) {
    const auto zones = MakeZones();
    for (auto _ : bench) {
        for (const auto& entry : zones) {
            entry.second->Render();
        }
    }
    bench.SetItemsProcessed(bench.iterations() * kControls);
}

} // namespace

BENCHMARK(BM_RenderPassWithoutScripts);
BENCHMARK(BM_RenderCallsOnly);
