#include "States/Controls/AreaShape.h"

#include "Game/Check.h"
#include "Platform/Gfx/Device.h"

namespace State::Control {

static_assert(sizeof(AreaVertex) == 16, "the debug vertex is three floats and a colour");

void DrawAreaShape(Gfx::Device& device, Gfx::Primitive type, unsigned count,
                   const std::vector<AreaVertex>& vertices, const char* where,
                   const char* drawCall) {
    CheckResult(device.SetTexture(0, nullptr), where, "dx().device()->SetTexture ( 0, 0 )");
    CheckResult(device.SetFvf(Gfx::FvfXyz | Gfx::FvfDiffuse), where,
                "dx().device()->SetFVF( 0x002 | 0x040 )");
    CheckResult(device.DrawPrimitiveUp(type, count, vertices.data(), sizeof(AreaVertex)), where,
                drawCall);
}

} // namespace State::Control
