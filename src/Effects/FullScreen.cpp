#include "Effects/FullScreen.h"

#include "Game/Check.h"
#include "Game/GfxLink.h"
#include "Platform/Gfx/Device.h"

namespace Effect {

static_assert(sizeof(FullScreen::Vertex) == 20);

FullScreen::FullScreen(const std::string& path)
    : Base(path), quad_{{{-1, -1, 1, 0, 0}, {-1, 1, 1, 0, 1}, {1, -1, 1, 1, 0}, {1, 1, 1, 1, 1}}} {}

void FullScreen::Apply(Base& effect) {
    CheckResult(GfxLink::Device().SetFvf(Gfx::FvfXyz), ".\\Effects\\fullscreen",
                "dx().device()->SetFVF ( D3DFVF_XYZ )");
    effect.RunPasses();
}

void FullScreen::Draw(unsigned) {
    CheckResult(GfxLink::Device().DrawPrimitiveUp(Gfx::Primitive::TriangleStrip, 2, quad_.data(),
                                                  sizeof(Vertex)),
                ".\\Effects\\fullscreen",
                "dx().device()->DrawPrimitiveUP ( D3DPT_TRIANGLESTRIP, 2, & quad_[0], "
                "sizeof(Vertex))");
}

} // namespace Effect
