#include "States/Controls/TextureHandlerStripe.h"

#include "Game/Check.h"
#include "Game/Log.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Texture.h"

namespace State::Control {

void TextureHandlerStripe::Load(const XmlDom::Element& element) {
    tex_ = XmlDom::RequiredAttr(element, "tex");
    // The stripe must be defined by now (in this part or an earlier one): looked up at once,
    // an unknown name fails while "tex" is the attribute being read, so the error names it.
    GetTexMgr().GetStripe(tex_);
}

std::pair<int, int> TextureHandlerStripe::Layout() const {
    const TexMgr::Stripe stripe = GetTexMgr().GetStripe(tex_);
    return {stripe.width, stripe.height};
}

bool TextureHandlerStripe::Frame(std::uint32_t F, ImageFrame& out) {
    const TexMgr::Stripe stripe = GetTexMgr().GetStripe(tex_);
    if (F < 1 || F > stripe.frames.size()) {
        return false;
    }
    const TexMgr::Frame& frame = stripe.frames[F - 1];
    if (frame.src.empty()) {
        if (emptyLogged_ != std::int64_t(F - 1)) {
            LogWrite(std::to_string(F - 1));
            emptyLogged_ = F - 1;
        }
        return false;
    }
    out.texture = GetTexMgr().Simple(frame.src);
    if (!out.texture) {
        return false; // the texture manager has logged the failed load
    }
    Gfx::SurfaceDesc desc;
    CheckResult(out.texture->GetLevelDesc(0, desc), kImageWhere, "tex->GetLevelDesc ( 0, &ddsd )");
    const float W = float(desc.width);
    const float H = float(desc.height);
    out.uL = float(frame.x) / W;
    out.vT = float(frame.y) / H;
    out.uR = out.uL + float(stripe.width) / W;
    out.vB = out.vT + float(stripe.height) / H;
    out.halfU = 0.5f / W;
    out.halfV = 0.5f / H;
    return true;
}

void TextureHandlerStripe::CollectResources(std::vector<MapResource>& list) const {
    for (const TexMgr::Frame& frame : GetTexMgr().GetStripe(tex_).frames) {
        list.push_back({frame.src, MapResource::kSimple});
    }
}

} // namespace State::Control
