#include "Effects/Pano.h"

#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Texture.h"

namespace Effect {

namespace {
constexpr const char* kWhere = ".\\Effects\\pano";
}

void Pano::Apply(const std::string& name) {
    Apply(GetTexMgr().Pano(name));
}

void Pano::Apply(const std::shared_ptr<Gfx::CubeTexture>& cube) {
    CheckResult(effect()->SetTechnique("Cubemap"), kWhere, "effect()->SetTechnique( \"Cubemap\" )");
    CheckResult(effect()->SetTexture("CubemapTex", cube), kWhere,
                "effect()->SetTexture ( \"CubemapTex\", tex() )");
    FullScreen::Apply(*this);
}

void Pano::SetParams() {
    const Gfx::Device& device = GfxLink::Device();
    Gfx::Matrix view, projection;
    CheckResult(device.GetTransform(Gfx::TransformKind::View, view), kWhere,
                "dx().device()->GetTransform( D3DTS_VIEW , &mView )");
    CheckResult(device.GetTransform(Gfx::TransformKind::Projection, projection), kWhere,
                "dx().device()->GetTransform( D3DTS_PROJECTION, &mProj )");
    Gfx::Matrix inverse;
    // A singular transform leaves the identity, as the original inversion without a
    // determinant did nothing better.
    Gfx::MatrixInverse(Gfx::MatrixMultiply(view, projection), inverse);
    const Gfx::Matrix rotation = Gfx::MatrixRotationY(game().SkyRotation());
    CheckResult(effect()->SetMatrix("WorldViewProjectionInv", inverse), kWhere,
                "effect()->SetMatrix( \"WorldViewProjectionInv\", &mViewProjInv )");
    CheckResult(effect()->SetMatrix("SkyRotation", rotation), kWhere,
                "effect()->SetMatrix( \"SkyRotation\" , &mRotation )");
}

} // namespace Effect
