#include "States/BlendStates.h"

#include "Game/Check.h"
#include "Platform/Gfx/Device.h"

namespace State {

void SetBlendStates(Gfx::Device& device, const char* where) {
    CheckResult(device.SetRenderState(Gfx::RenderState::Lighting, 0), where,
                "dx().device()->SetRenderState( D3DRS_LIGHTING, FALSE )");
    CheckResult(device.SetRenderState(Gfx::RenderState::SrcBlend, Gfx::BlendSrcAlpha), where,
                "dx().device()->SetRenderState( D3DRS_SRCBLEND, D3DBLEND_SRCALPHA )");
    CheckResult(device.SetRenderState(Gfx::RenderState::DestBlend, Gfx::BlendInvSrcAlpha), where,
                "dx().device()->SetRenderState( D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA )");
}

} // namespace State
