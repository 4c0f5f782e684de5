#include "Effects/PingPong.h"

#include "Game/Check.h"
#include "Game/GfxLink.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Texture.h"

namespace Effect {

namespace {
constexpr const char* kWhere = ".\\Effects\\blur";

void MakeTarget(unsigned width, unsigned height, std::shared_ptr<Gfx::Texture>& target,
                const char* what) {
    target.reset();
    CheckResult(GfxLink::Device().CreateTexture(width, height, 1, Gfx::UsageRenderTarget,
                                                Gfx::Format::X8R8G8B8, Gfx::Pool::Default, target),
                kWhere, what);
}
} // namespace

PingPong::PingPong(const std::string& path) : FullScreen(path) {}

void PingPong::SetSource(const std::shared_ptr<Gfx::Texture>& texture) {
    source_ = texture;
}

void PingPong::OnLostDevice() {
    source_.reset();
    targetA_.reset();
    targetB_.reset();
    width_ = height_ = 0;
}

void PingPong::OnResetDevice() {
    targetA_.reset();
    targetB_.reset();
    std::shared_ptr<Gfx::Surface> screen;
    Gfx::Device& device = GfxLink::Device();
    CheckResult(device.GetRenderTarget(0, screen), kWhere,
                "dx().device()->GetRenderTarget ( 0, & surface )");
    Gfx::SurfaceDesc desc;
    CheckResult(screen->GetDesc(desc), kWhere, "surface->GetDesc ( & desc )");
    width_ = desc.width;
    height_ = desc.height;
}

void PingPong::MakeTargets() {
    if (targetA_ || width_ == 0) {
        return;
    }
    MakeTarget(width_, height_, targetA_,
               "D3DXCreateTexture ( device, desc.Width, desc.Height, 1, D3DUSAGE_RENDERTARGET, "
               "D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, & texA_ )");
    MakeTarget(width_, height_, targetB_,
               "D3DXCreateTexture ( device, desc.Width, desc.Height, 1, D3DUSAGE_RENDERTARGET, "
               "D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, & texB_ )");
}

void PingPong::PrePass(unsigned pass) {
    if (pass > 1) {
        return;
    }
    MakeTargets();
    const std::shared_ptr<Gfx::Texture>& input = pass == 0 ? source_ : targetA_;
    const std::shared_ptr<Gfx::Texture>& output = pass == 0 ? targetA_ : targetB_;
    CheckResult(effect()->SetTexture("ScreenTex", input), kWhere,
                "effect()->SetTexture ( \"ScreenTex\", tex )");
    std::shared_ptr<Gfx::Surface> surface;
    CheckResult(output ? output->GetSurfaceLevel(0, surface) : Gfx::kErrInvalidCall, kWhere,
                "tex->GetSurfaceLevel ( 0, & surface )");
    CheckResult(GfxLink::Device().SetRenderTarget(0, surface), kWhere,
                "dx().device()->SetRenderTarget ( 0, surface )");
}

void Bloom::OnLostDevice() {
    PingPong::OnLostDevice();
    surface_.reset();
}

void Bloom::OnResetDevice() {
    PingPong::OnResetDevice();
    surface_.reset();
}

const std::shared_ptr<Gfx::Surface>& Bloom::TargetSurface() {
    MakeTargets();
    if (!surface_ && TargetB()) {
        CheckResult(TargetB()->GetSurfaceLevel(0, surface_), ".\\Effects\\bloom",
                    "texB_->GetSurfaceLevel ( 0, & surface_ )");
    }
    return surface_;
}

} // namespace Effect
