#include "Effects/Snow.h"

#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Texture.h"

namespace Effect {

namespace {
constexpr const char* kWhere = ".\\Effects\\snow";
}

static_assert(sizeof(Snow::Vertex) == 28);

std::array<Snow::Vertex, 4 * Snow::SZ> Snow::vtx_;
std::array<std::uint16_t, 6 * Snow::SZ> Snow::idx_;

Snow::Snow() : Base("effect/snow.fx") {
    constexpr float kCorners[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (unsigned i = 0; i < SZ; ++i) {
        const float r1 = game().Rand();
        const float r2 = game().Rand();
        const float r3 = game().Rand();
        const float r4 = game().Rand();
        for (unsigned c = 0; c < 4; ++c) {
            vtx_[4 * i + c] = {2 * r4 - 1, r3, 2 * r2 - 1, r1, kCorners[c][0], kCorners[c][1], 0};
        }
        const auto base = static_cast<std::uint16_t>(4 * i);
        const std::uint16_t quad[6] = {0, 1, 2, 1, 3, 2};
        for (unsigned k = 0; k < 6; ++k) {
            idx_[6 * i + k] = static_cast<std::uint16_t>(base + quad[k]);
        }
    }
}

void Snow::SetParams() {
    Gfx::Device& device = GfxLink::Device();
    Gfx::Matrix view, projection;
    CheckResult(device.GetTransform(Gfx::TransformKind::View, view), kWhere,
                "dx().device()->GetTransform( D3DTS_VIEW , &mView )");
    CheckResult(device.GetTransform(Gfx::TransformKind::Projection, projection), kWhere,
                "dx().device()->GetTransform( D3DTS_PROJECTION, &mProj )");
    CheckResult(effect()->SetMatrix("WorldViewProjection", Gfx::MatrixMultiply(view, projection)),
                kWhere, "effect()->SetMatrix ( \"WorldViewProjection\", &mViewProj )");
    CheckResult(effect()->SetFloat("Time", game().Time()), kWhere,
                "effect()->SetFloat ( \"Time\", game().Time() )");
    CheckResult(effect()->SetTexture("SnowTex", GetTexMgr().Simple(kSnowPath)), kWhere,
                "effect()->SetTexture ( \"SnowTex\", GetTexMgr().Simple( snow_ ) )");
    CheckResult(device.SetFvf(Gfx::FvfXyzw | Gfx::FvfNormal), kWhere,
                "dx().device()->SetFVF ( D3DFVF_XYZW | D3DFVF_NORMAL )");
}

void Snow::Draw(unsigned) {
    CheckResult(GfxLink::Device().DrawIndexedPrimitiveUp(Gfx::Primitive::TriangleList, 0, 4 * SZ,
                                                         SZ * 2, idx_.data(), vtx_.data(),
                                                         sizeof(Vertex)),
                kWhere,
                "dx().device()->DrawIndexedPrimitiveUP ( D3DPT_TRIANGLELIST , 0, 4 * SZ , SZ * "
                "2 , idx_, D3DFMT_INDEX16 , vtx_, sizeof( Vertex ))");
}

} // namespace Effect
