#include "Effects/Lines.h"

#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Texture.h"

namespace Effect {

namespace {
constexpr const char* kWhere = ".\\Effects\\lines";
constexpr float kTwoPi = 6.2831854820251465f;
} // namespace

static_assert(sizeof(Lines::Vertex) == 16);

Lines::Lines() : Base("effect/lines.fx") {
    for (unsigned i = 0; i < kCount; ++i) {
        Line& line = lines_[i];
        line.x = 1.6f * game().Rand() - 0.8f;
        line.zero = 0.0f;
        line.phase = kTwoPi * game().Rand();
        line.period = 5000.0f * game().Rand() + 1000.0f;
        cache_[2 * i] = {line.x, -1.0f, line.period, line.phase};
        cache_[2 * i + 1] = {line.x, 1.0f, line.period, line.phase};
    }
}

void Lines::SetParams() {
    CheckResult(effect()->SetFloat("Time", game().Time()), kWhere,
                "effect()->SetFloat ( \"Time\", game().Time() )");
    CheckResult(effect()->SetTexture("NoiseTex", SimpleOnce(kNoisePath, noiseMissing_)), kWhere,
                "effect()->SetTexture ( \"NoiseTex\", GetTexMgr().Simple( noise_ ) )");
    CheckResult(GfxLink::Device().SetFvf(Gfx::FvfXyzw), kWhere,
                "dx().device()->SetFVF ( D3DFVF_XYZW )");
}

void Lines::Draw(unsigned) {
    CheckResult(GfxLink::Device().DrawPrimitiveUp(Gfx::Primitive::LineList, kCount, cache_.data(),
                                                  sizeof(Vertex)),
                kWhere,
                "dx().device()->DrawPrimitiveUP ( D3DPT_LINELIST, count, & cache_[0], "
                "sizeof(Vertex))");
}

} // namespace Effect
