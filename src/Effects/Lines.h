#pragma once

#include "Effects/Base.h"
#include "Game/MissingPicture.h"

#include <array>

namespace Effect {

// The vertical scratches of the film look: 12 lines at random places, each flickering with
// its own phase and period. Built from the game's random numbers.
class Lines : public Base {
public:
    static constexpr unsigned kCount = 12;
    static constexpr const char* kNoisePath = "gfx/common/noise.dds";

    struct Vertex {
        float x, y, z, w;
    };
    struct Line {
        float x, zero, phase, period;
    };

    Lines();

    void SetParams() override;
    void Draw(unsigned pass) override;

    const std::array<Vertex, 2 * kCount>& Cache() const { return cache_; }
    const std::array<Line, kCount>& Records() const { return lines_; }

private:
    std::array<Vertex, 2 * kCount> cache_;
    std::array<Line, kCount> lines_;
    // The noise picture, asked for in every frame of the film look: a failed one once.
    MissingPicture noiseMissing_;
};

} // namespace Effect
