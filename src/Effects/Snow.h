#pragma once

#include "Effects/Base.h"

#include <array>
#include <cstdint>

namespace Effect {

// A field of snow particles. Nothing draws it yet, but it is built at start-up with the others:
// its random draws are part of the fixed random sequence the scripts see.
class Snow : public Base {
public:
    static constexpr unsigned SZ = 1024;
    static constexpr const char* kSnowPath = "gfx/common/snow.dds";

    // Position with w, and the quad corner code in the normal.
    struct Vertex {
        float x, y, z, w, nx, ny, nz;
    };

    Snow();

    void SetParams() override;
    void Draw(unsigned pass) override;

    // Shared by every Snow, filled by the constructor.
    static const std::array<Vertex, 4 * SZ>& Vertices() { return vtx_; }
    static const std::array<std::uint16_t, 6 * SZ>& Indices() { return idx_; }

private:
    static std::array<Vertex, 4 * SZ> vtx_;
    static std::array<std::uint16_t, 6 * SZ> idx_;
};

} // namespace Effect
