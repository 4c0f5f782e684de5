#include "Platform/Gfx/Sprite.h"

#include "Platform/Gfx/GlRenderer.h"
#include "Platform/Gfx/GlTexture.h"

namespace Gfx {

Sprite::Sprite(std::shared_ptr<Internal::Renderer> renderer) : renderer_(std::move(renderer)) {}

Sprite::~Sprite() {
    if (begun_) {
        renderer_->spriteOpen = false;
    }
}

int Sprite::Begin(uint32_t flags) {
    if (begun_ || (flags & ~uint32_t(SpriteAlphaBlend)) != 0) {
        return kErrInvalidCall;
    }
    begun_ = true;
    flags_ = flags;
    renderer_->spriteOpen = true;
    return kOk;
}

int Sprite::Draw(const std::shared_ptr<Texture>& texture, const Rect* source, const Vector3* centre,
                 const Vector3* position, uint32_t argb) {
    if (!begun_) {
        return kErrInvalidCall;
    }
    if (!texture) {
        return kOk;
    }
    SurfaceDesc desc;
    texture->GetLevelDesc(0, desc);
    const Rect whole{0, 0, int32_t(desc.width), int32_t(desc.height)};
    const Rect& rc = source != nullptr ? *source : whole;
    const float left = (position ? position->x : 0.0f) - (centre ? centre->x : 0.0f);
    const float top = (position ? position->y : 0.0f) - (centre ? centre->y : 0.0f);
    // Corners on pixel edges: half a pixel before the pixel centres the positions name.
    const float x0 = left - 0.5f, y0 = top - 0.5f;
    const float x1 = x0 + float(rc.right - rc.left), y1 = y0 + float(rc.bottom - rc.top);
    const float u0 = float(rc.left) / float(desc.width), u1 = float(rc.right) / float(desc.width);
    const float v0 = float(rc.top) / float(desc.height);
    const float v1 = float(rc.bottom) / float(desc.height);
    const Vertex tl{x0, y0, 0, 1, argb, u0, v0}, tr{x1, y0, 0, 1, argb, u1, v0};
    const Vertex bl{x0, y1, 0, 1, argb, u0, v1}, br{x1, y1, 0, 1, argb, u1, v1};
    if (runs_.empty() || runs_.back().texture != texture) {
        runs_.push_back({texture, vertices_.size(), 0});
    }
    vertices_.insert(vertices_.end(), {tl, tr, bl, tr, br, bl});
    runs_.back().count += 6;
    return kOk;
}

int Sprite::Flush() {
    if (!begun_) {
        return kErrInvalidCall;
    }
    if (vertices_.empty()) {
        return kOk;
    }
    if (!renderer_->OnUiThread()) {
        return kErrInvalidCall;
    }
    const uint32_t fvf = FvfXyzRhw | FvfDiffuse | FvfTex1;
    if (int r = renderer_->Stream(fvf, sizeof(Vertex), vertices_.data(),
                                  vertices_.size() * sizeof(Vertex));
        r != kOk) {
        return r;
    }
    Internal::DrawState s = renderer_->ModulatedScreenState((flags_ & SpriteAlphaBlend) != 0);
    for (const Run& run : runs_) {
        s.texture = run.texture->Data().Prepare();
        // The stream holds every run: draw this one's vertices by their offset.
        renderer_->DrawFixedRange(s, GL_TRIANGLES, GLint(run.first), GLsizei(run.count));
    }
    vertices_.clear();
    runs_.clear();
    return kOk;
}

int Sprite::End() {
    const int r = Flush();
    begun_ = false;
    renderer_->spriteOpen = false;
    vertices_.clear();
    runs_.clear();
    return r;
}

int Sprite::OnResetDevice() {
    if (begun_) {
        renderer_->spriteOpen = false;
    }
    begun_ = false;
    vertices_.clear();
    runs_.clear();
    return kOk;
}

} // namespace Gfx
