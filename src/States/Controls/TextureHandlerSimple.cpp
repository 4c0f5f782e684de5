#include "States/Controls/TextureHandlerSimple.h"

#include "Game/Check.h"
#include "Game/Exception.h"
#include "Game/GfxLink.h"
#include "Game/Log.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Texture.h"

#include <boost/lexical_cast.hpp>

namespace State::Control {

void TextureHandlerSimple::Load(const XmlDom::Element& element) {
    tex_ = XmlDom::RequiredAttr(element, "tex");
    frames_ = boost::lexical_cast<std::uint32_t>(XmlDom::RequiredAttr(element, "frames"));
    // Checked as soon as it is read, so an error names it (Where).
    if (frames_ == 0) {
        throw exception("Configuration error: \n  Attribute 'frames' out of range (1 or more) at "
                        "image '" +
                        tex_ + "'");
    }
    width_ = boost::lexical_cast<int>(XmlDom::Attr(element, "width", "0"));
    height_ = boost::lexical_cast<int>(XmlDom::Attr(element, "height", "0"));
}

std::pair<int, int> TextureHandlerSimple::Layout() {
    if (!GfxLink::HasDevice()) {
        return {width_, height_};
    }
    const std::shared_ptr<Gfx::Texture> tex = GetTexMgr().Simple(tex_);
    if (!tex) {
        // The grid cannot be formed: the image draws nothing, and needs the texture no more.
        Missing();
        return {width_, height_};
    }
    Gfx::SurfaceDesc desc;
    CheckResult(tex->GetLevelDesc(0, desc), kImageWhere, "tex_()->GetLevelDesc ( 0, &ddsd )");
    return LayoutGrid(desc.width, desc.height);
}

std::pair<int, int> TextureHandlerSimple::LayoutGrid(std::uint32_t W, std::uint32_t H) {
    if (width_ == 0) {
        width_ = static_cast<int>(W / frames_);
    }
    if (height_ == 0) {
        height_ = static_cast<int>(H);
    }
    if (width_ <= 0 || height_ <= 0 || std::uint32_t(width_) > W) {
        LogFormat("Image '%1%': cells of %2%x%3% do not fit a %4%x%5% texture", tex_, width_,
                  height_, W, H);
        columns_ = 0;
        return {width_, height_};
    }
    columns_ = W / std::uint32_t(width_);
    frameU_ = float(width_) / float(W);
    frameV_ = float(height_) / float(H);
    halfU_ = 0.5f / float(W);
    halfV_ = 0.5f / float(H);
    return {width_, height_};
}

void TextureHandlerSimple::CellOf(std::uint32_t F, ImageFrame& out) const {
    const std::uint32_t i = F - 1;
    out.uL = float(i % columns_) * frameU_;
    out.vT = float(i / columns_) * frameV_;
    out.uR = out.uL + frameU_;
    out.vB = out.vT + frameV_;
    out.halfU = halfU_;
    out.halfV = halfV_;
}

bool TextureHandlerSimple::Frame(std::uint32_t F, ImageFrame& out) {
    if (F < 1 || F > frames_ || columns_ == 0 || missing_) {
        return false;
    }
    out.texture = GetTexMgr().Simple(tex_);
    if (!out.texture) {
        Missing();
        return false;
    }
    CellOf(F, out);
    return true;
}

void TextureHandlerSimple::Start() {
    missing_ = false;
    // An unformed grid draws nothing, whatever the texture.
    if (!GfxLink::HasDevice() || columns_ == 0) {
        return;
    }
    if (!GetTexMgr().Simple(tex_)) {
        Missing();
        return;
    }
    GetTexMgr().TouchSimple(tex_);
}

void TextureHandlerSimple::Missing() {
    LogWrite(LocationText(kImageWhere, "tex != 0"));
    missing_ = true;
}

void TextureHandlerSimple::CollectResources(std::vector<MapResource>& list) const {
    list.push_back({tex_, MapResource::kSimple});
}

} // namespace State::Control
