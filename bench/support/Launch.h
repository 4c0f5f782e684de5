#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace bench {

// CLOCK_MONOTONIC in nanoseconds: the clock of the swap times.
std::uint64_t NowNs();

// Starts `program` with `args` in `folder`, headless (SDL's offscreen video and dummy audio
// unless the environment names others), with `extraEnvironment` added to this process's,
// its standard output to `output` and its errors to nowhere; -1 on failure.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::string>& extraEnvironment, const std::filesystem::path& folder,
            const std::filesystem::path& output = "/dev/null");

// A program started for a measurement, headless (SDL's offscreen video and dummy audio unless
// the environment names others), with the swap clock (SwapClock.cpp) preloaded so that each
// of its buffer swaps reports its time here. Destroying it ends the program (SIGTERM, which
// closes the engine's window) and waits for it.
class Launched {
public:
    Launched(const std::string& program, const std::vector<std::string>& args,
             const std::filesystem::path& folder);
    ~Launched();
    Launched(const Launched&) = delete;
    Launched& operator=(const Launched&) = delete;

    bool Running() const { return pid_ > 0; }
    // When the program was started (just before it was spawned).
    std::uint64_t StartNs() const { return start_; }
    // The time of the next swap, waiting up to `timeoutMs`; false when none came.
    bool NextSwap(std::uint64_t& ns, int timeoutMs);
    // The swaps reported since the last call, without waiting.
    std::size_t TakeSwaps();
    // User and system CPU time of the whole process (all its threads) so far.
    double CpuSeconds() const;
    // Waits for the program to end by itself, up to `timeoutMs`.
    bool Wait(int timeoutMs);

private:
    pid_t pid_ = -1;
    int swaps_ = -1;
    std::uint64_t start_ = 0;
};

// A copy of the game tree the benchmarks run in a new temporary folder (its executable in
// Bin/, its Data/, an empty Save/), so that runs write their logs, options and saves there;
// removed with the object. The tree is KV_BENCH_GAME when set (another build's tree, for
// figures before a change), else `built`.
class GameCopy {
public:
    explicit GameCopy(const char* built);
    ~GameCopy();
    GameCopy(const GameCopy&) = delete;
    GameCopy& operator=(const GameCopy&) = delete;

    // False when the folder could not be made.
    bool Made() const { return !folder_.empty(); }
    const std::filesystem::path& Folder() const { return folder_; }
    std::string Executable() const { return (folder_ / "Bin" / "korvantine").string(); }

private:
    std::filesystem::path folder_;
};

} // namespace bench
