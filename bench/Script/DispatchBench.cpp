// Calls per second from Lua of a published member `float()` through lua::State::Dispatch,
// against a plain lua_CFunction doing the same work (find the object, call, push the
// result) in the same run. Compare the items_per_second of the two.
#include "Script/State.h"

#include <benchmark/benchmark.h>

namespace {

class Clock {
public:
    float Time() { return now_ += 0.001f; }

private:
    float now_ = 0.0f;
};

int PlainTime(lua_State* L) {
    auto* clock = static_cast<Clock*>(lua_touserdata(L, lua_upvalueindex(1)));
    lua_pushnumber(L, static_cast<lua_Number>(clock->Time()));
    return 1;
}

constexpr int kCallsPerRun = 10000;

void RunLoop(benchmark::State& bench, lua::State& state) {
    state.Execute("function run() local t = 0 for i = 1, " + std::to_string(kCallsPerRun) +
                  " do t = time() end end");
    for (auto _ : bench) {
        state.Call("run");
    }
    bench.SetItemsProcessed(bench.iterations() * kCallsPerRun);
}

void BM_DispatchMemberFloat(benchmark::State& bench) {
    lua::State state;
    Clock clock;
    state.Register("time", &clock, &Clock::Time);
    RunLoop(bench, state);
}
BENCHMARK(BM_DispatchMemberFloat);

void BM_PlainCFunctionFloat(benchmark::State& bench) {
    lua::State state;
    Clock clock;
    lua_pushlightuserdata(state.Handle(), &clock);
    lua_pushcclosure(state.Handle(), &PlainTime, 1);
    lua_setfield(state.Handle(), LUA_GLOBALSINDEX, "time");
    RunLoop(bench, state);
}
BENCHMARK(BM_PlainCFunctionFloat);

} // namespace
