#pragma once

#include "Effects/Base.h"

#include <array>

namespace Effect {

// An effect that draws the full-screen quad: four 20-byte vertices {x, y, z, u, v} drawn as a
// strip with the position-only vertex format; the shaders derive the rest from the position.
class FullScreen : public Base {
public:
    struct Vertex {
        float x, y, z, u, v;
    };

    explicit FullScreen(const std::string& path);

    // Sets the position-only vertex format and runs the passes of `effect`.
    static void Apply(Base& effect);

    void Draw(unsigned pass) override;

    const std::array<Vertex, 4>& Quad() const { return quad_; }

private:
    std::array<Vertex, 4> quad_;
};

} // namespace Effect
