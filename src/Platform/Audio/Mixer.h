#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace Audio {

struct Voice;

// The software mixer: the list of every voice, the list of the playing ones, and the one
// mutex that guards both and every voice's control state. Render runs on the audio thread
// (or the test's thread in manual mode); everything else on the game's threads.
class Mixer {
public:
    explicit Mixer(int periodFrames);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // The mutex every caller below (but Render) must hold.
    std::mutex& Mutex() noexcept { return mutex_; }

    void Add(Voice* voice);
    void Remove(Voice* voice); // also leaves the playing list
    void Start(Voice* voice);  // joins the playing list
    void Stop(Voice* voice);   // leaves the playing list

    // Frames per output period: how far ahead of the play cursor the write cursor is.
    int PeriodFrames() const noexcept { return periodFrames_; }
    void SetPeriodFrames(int frames) noexcept { periodFrames_ = frames; }

    bool Focused() const noexcept { return focused_; }
    void SetFocused(bool focused) noexcept { focused_ = focused; }

    // Marks every voice lost: stopped, memory silenced. With `hold`, Restore keeps failing.
    void LoseAll(bool hold);
    bool HoldsLost() const noexcept { return holdLost_; }

    // Mixes `frames` interleaved stereo 16-bit frames into `out`. Takes the mutex itself;
    // never allocates, never throws.
    void Render(std::int16_t* out, std::size_t frames) noexcept;

private:
    static constexpr std::size_t ChunkFrames = 1024;

    void RenderChunk(std::int16_t* out, std::size_t frames) noexcept;

    std::mutex mutex_;
    std::vector<Voice*> all_;
    std::vector<Voice*> playing_;
    int periodFrames_;
    bool focused_ = true;
    bool holdLost_ = false;
    std::array<float, ChunkFrames * 2> mix_{};
};

} // namespace Audio
