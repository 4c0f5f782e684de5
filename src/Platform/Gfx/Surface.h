#pragma once

#include "Platform/Gfx/Types.h"

#include <memory>

namespace Gfx {

class Texture;

// Level 0 of a texture: a render target, the back buffer or a lockable dynamic surface.
class Surface {
public:
    explicit Surface(std::shared_ptr<Texture> texture);

    int GetDesc(SurfaceDesc& out) const;
    // Dynamic surfaces only, whole surface (`area` null), flags 0 or LockDiscard: the writer
    // gets 32-bit 0xAARRGGBB texels, `pitch` bytes per row. The previous contents are kept.
    // kErrInvalidCall for any other surface, an area, or a second lock.
    int LockRect(LockedRect& out, const Rect* area, uint32_t flags);
    // Uploads what was written (user-interface thread). kErrInvalidCall without a lock.
    int UnlockRect();

    const std::shared_ptr<Texture>& GetTexture() const { return texture_; }

private:
    std::shared_ptr<Texture> texture_;
};

} // namespace Gfx
