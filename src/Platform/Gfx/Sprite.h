#pragma once

#include "Platform/Gfx/Math.h"
#include "Platform/Gfx/Types.h"

#include <memory>
#include <vector>

namespace Gfx {

class Texture;
namespace Internal {
class Renderer;
}

// Textured screen rectangles in pixels of the current render target, queued between Begin and
// End and drawn in submission order at Flush or End. A sprite at an integer position maps its
// first texel exactly onto that pixel. Drawing changes none of the device's persistent state.
class Sprite {
public:
    explicit Sprite(std::shared_ptr<Internal::Renderer> renderer);
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    // Flags 0 or SpriteAlphaBlend (straight alpha blending). kErrInvalidCall when already begun.
    int Begin(uint32_t flags);
    // `source` null: the whole texture. `centre` is subtracted from `position` (both may be
    // null: zero); z is ignored. The colour modulates the texture. A null texture draws nothing
    // and answers kOk.
    int Draw(const std::shared_ptr<Texture>& texture, const Rect* source, const Vector3* centre,
             const Vector3* position, uint32_t argb);
    int Flush();
    int End();
    int OnLostDevice() { return kOk; }
    // Drops a batch left open.
    int OnResetDevice();

private:
    struct Vertex {
        float x, y, z, rhw;
        uint32_t color;
        float u, v;
    };
    struct Run {
        std::shared_ptr<Texture> texture;
        size_t first = 0, count = 0;
    };

    std::shared_ptr<Internal::Renderer> renderer_;
    bool begun_ = false;
    uint32_t flags_ = 0;
    std::vector<Vertex> vertices_;
    std::vector<Run> runs_;
};

} // namespace Gfx
