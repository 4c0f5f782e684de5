#pragma once

#include <array>
#include <cstdint>

namespace State::Control {

// The four vertices of an image's quad in drawing order, top-left, top-right, bottom-left,
// bottom-right (a strip of two triangles), of vertex type V, drawn with the vertex format
// `Fvf`. Each frame rewrites only their texture coordinates and colour.
template <typename V, std::uint32_t Fvf>
class ImageQuad {
public:
    using Vertex = V;
    static constexpr std::uint32_t FVF = Fvf;
    static constexpr unsigned SIZE = sizeof(V);

    const void* Data() const { return vertices_.data(); }

    std::array<V, 4> vertices_{};

protected:
    // The texture rectangle (left, top, right, bottom) and the colour, into the vertices.
    void WriteTexture(float uL, float vT, float uR, float vB, std::uint32_t colour) {
        const float uv[4][2] = {{uL, vT}, {uR, vT}, {uL, vB}, {uR, vB}};
        for (int i = 0; i < 4; ++i) {
            vertices_[i].u = uv[i][0];
            vertices_[i].v = uv[i][1];
            vertices_[i].diffuse = colour;
        }
    }
};

} // namespace State::Control
