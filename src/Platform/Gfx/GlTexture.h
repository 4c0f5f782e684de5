#pragma once

// Internal to the graphics layer: what a texture holds, and its creation.

#include "Platform/Gfx/GlContext.h"
#include "Platform/Gfx/Image.h"
#include "Platform/Gfx/Texture.h"

#include <memory>

namespace Gfx::Internal {

struct TextureData {
    ~TextureData();

    std::shared_ptr<GlContext> context;
    bool cube = false;
    SurfaceDesc desc;
    unsigned levels = 1;
    // Decoded pixels waiting for their upload on the user-interface thread.
    Image pending;
    bool hasPending = false;
    bool mipChain = false;
    GLuint texture = 0;
    GLuint framebuffer = 0; // render targets only
    // The device's back buffer while the window's own framebuffer stands in for it (no
    // texture, no framebuffer name): the frame is drawn straight into the window.
    bool window = false;
    bool recyclable = false;
    // Dynamic textures: the lockable copy of level 0, 0xAARRGGBB texels.
    std::vector<uint32_t> staging;
    bool locked = false;

    // User-interface thread: creates the GL texture and uploads pending pixels; the name, or 0
    // when the texture cannot be made (its pixels are then dropped: it draws as no texture).
    GLuint Prepare();
    // Prepare, and for a texture from a file the whole mip chain below level 0, made once:
    // for effect samplers that filter between levels. Level 0 alone is reported either way.
    GLuint PrepareMipChain();
    GLenum Target() const { return cube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D; }
};

// CPU only (any thread): a texture of decoded pixels, sizes rounded up to powers of two, less the
// rows that `sampled` leaves out.
std::shared_ptr<Texture> MakeFileTexture(const std::shared_ptr<GlContext>& context, Image image,
                                         const SampledRows& sampled = {});
std::shared_ptr<CubeTexture> MakeCubeTexture(const std::shared_ptr<GlContext>& context,
                                             Image image);
// User-interface thread: a render target (with its framebuffer) or a dynamic texture, cleared
// to opaque black. Recycled names are reused.
int MakeTargetTexture(const std::shared_ptr<GlContext>& context, uint32_t width, uint32_t height,
                      uint32_t usage, std::shared_ptr<Texture>& out);

// User-interface thread: a dynamic texture's staging copied into its level 0.
void UploadStaging(const TextureData& data);

} // namespace Gfx::Internal
