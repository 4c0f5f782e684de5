#include "Effects/Video.h"

#include "Game/Check.h"
#include "Game/GfxLink.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Texture.h"

namespace Effect {

namespace {
constexpr const char* kWhere = ".\\Effects\\video";
}

void Video::OnLostDevice() {
    surface_.reset();
    texture_.reset();
}

void Video::OnResetDevice() {
    OnLostDevice();
}

const std::shared_ptr<Gfx::Surface>& Video::VideoSurface() {
    if (!surface_) {
        MakeTexture();
    }
    return surface_;
}

void Video::MakeTexture() {
    CheckResult(GfxLink::Device().CreateTexture(kWidth, kHeight, 1, Gfx::UsageDynamic,
                                                Gfx::Format::X8R8G8B8, Gfx::Pool::Default,
                                                texture_),
                kWhere,
                "D3DXCreateTexture ( device, 640, 480, 1, D3DUSAGE_DYNAMIC, D3DFMT_X8R8G8B8, "
                "D3DPOOL_DEFAULT, & tex_ )");
    CheckResult(texture_->GetSurfaceLevel(0, surface_), kWhere,
                "tex_->GetSurfaceLevel ( 0, & surface_ )");
}

void Video::SetParams() {
    if (!texture_) {
        MakeTexture();
    }
    CheckResult(effect()->SetTexture("VideoTex", texture_), kWhere,
                "effect()->SetTexture ( \"VideoTex\", tex_ )");
}

} // namespace Effect
