#include "States/Controls/TextureHandlerStripe.h"

#include "Game/Check.h"
#include "Game/Log.h"
#include "Platform/Gfx/Texture.h"

namespace State::Control {

void TextureHandlerStripe::Load(const XmlDom::Element& element) {
    tex_ = XmlDom::RequiredAttr(element, "tex");
    // The stripe must be defined by now (in this part or an earlier one): looked up at once,
    // an unknown name fails while "tex" is the attribute being read, so the error names it.
    // Stripes change only while the definition is read, so the record is kept from here on.
    stripe_ = GetTexMgr().FindStripe(tex_);
    if (stripe_ == nullptr) {
        GetTexMgr().GetStripe(tex_);
    }
}

std::pair<int, int> TextureHandlerStripe::Layout() const {
    const TexMgr::Stripe* stripe = stripe_;
    return stripe != nullptr ? std::pair{stripe->width, stripe->height} : std::pair{0, 0};
}

bool TextureHandlerStripe::Frame(std::uint32_t F, ImageFrame& out) {
    const TexMgr::Stripe* stripe = stripe_;
    if (stripe == nullptr || F < 1 || F > stripe->frames.size()) {
        return false;
    }
    const std::size_t index = F - 1;
    if (failed_.size() != stripe->frames.size()) {
        failed_.resize(stripe->frames.size());
    }
    if (failed_[index]) {
        return false;
    }
    const TexMgr::Frame& frame = stripe->frames[index];
    if (frame.src.empty()) {
        LogWrite(std::to_string(index));
        failed_[index] = true;
        return false;
    }
    out.texture = GetTexMgr().Simple(frame.src);
    if (!out.texture) {
        // The texture manager has logged the failed load; no frame of that texture asks
        // again.
        for (std::size_t i = 0; i < failed_.size(); ++i) {
            failed_[i] = failed_[i] || stripe->frames[i].src == frame.src;
        }
        return false;
    }
    Gfx::SurfaceDesc desc;
    CheckResult(out.texture->GetLevelDesc(0, desc), kImageWhere, "tex->GetLevelDesc ( 0, &ddsd )");
    const float W = float(desc.width);
    const float H = float(desc.height);
    out.uL = float(frame.x) / W;
    out.vT = float(frame.y) / H;
    out.uR = out.uL + float(stripe->width) / W;
    out.vB = out.vT + float(stripe->height) / H;
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
