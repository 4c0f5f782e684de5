#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>

// The preload's steps done out of its steps to do, written by the worker and read by the
// loading screen's scripts on the user-interface thread. The two counts live in one atomic
// word, so a reader never pairs one pass's total with another pass's count.
class PreloadProgress {
public:
    // A new pass of `total` steps, none done yet.
    void Begin(int total) { word_.store(Pack(total, 0)); }
    // One more step done. The count is the word's low half; a pass never counts 2^32 steps,
    // so the addition never reaches the total.
    void Step() { word_.fetch_add(1); }
    // No step done, the total kept.
    void ResetDone() {
        std::uint64_t word = word_.load();
        while (!word_.compare_exchange_weak(word, Pack(TotalOf(word), 0))) {
        }
    }
    // The count clamped to [0, total] over the total; 1 when the pass has no step at all.
    float Fraction() const {
        const std::uint64_t word = word_.load();
        const int total = TotalOf(word);
        if (total <= 0) {
            return 1.0f;
        }
        const int done = std::clamp(DoneOf(word), 0, total);
        return static_cast<float>(static_cast<double>(done) / static_cast<double>(total));
    }

private:
    static std::uint64_t Pack(int total, int done) {
        return (std::uint64_t{static_cast<std::uint32_t>(total)} << 32) |
               std::uint64_t{static_cast<std::uint32_t>(done)};
    }
    static int TotalOf(std::uint64_t word) {
        return static_cast<int>(static_cast<std::uint32_t>(word >> 32));
    }
    static int DoneOf(std::uint64_t word) {
        return static_cast<int>(static_cast<std::uint32_t>(word));
    }

    // Before the first preload: no step done out of one, so the figure reads 0.
    std::atomic<std::uint64_t> word_{Pack(1, 0)};
};
