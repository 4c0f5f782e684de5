#pragma once

#include "Platform/Gfx/Types.h"

#include <cstdint>
#include <vector>

namespace Gfx {
class Device;
}

namespace State::Control {

// One vertex of the zones' debug drawing: a position and a 0xAARRGGBB colour, 16 bytes.
struct AreaVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    std::uint32_t diffuse = 0;
};

// The zones' debug colour: green at a quarter opacity.
inline constexpr std::uint32_t kAreaColour = 0x4000FF00;

// Draws `count` primitives of `type` from `vertices`, untextured, with the transforms and
// blend state the owning state has set. Every device call is checked: a failure is logged
// with `where` and the call as the zone writes it (`drawCall` for the draw) and thrown.
void DrawAreaShape(Gfx::Device& device, Gfx::Primitive type, unsigned count,
                   const std::vector<AreaVertex>& vertices, const char* where,
                   const char* drawCall);

} // namespace State::Control
