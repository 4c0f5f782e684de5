#include "Platform/Gfx/GlTexture.h"

#include "Platform/Gfx/Surface.h"

#include <algorithm>

namespace Gfx {

namespace Internal {

namespace {

Format FormatOf(const Image& image) {
    switch (image.blocks) {
    case BlockFormat::Dxt1:
        return Format::Dxt1;
    case BlockFormat::Dxt3:
        return Format::Dxt3;
    case BlockFormat::Dxt5:
        return Format::Dxt5;
    case BlockFormat::None:
        break;
    }
    return image.hasAlpha ? Format::A8R8G8B8 : Format::X8R8G8B8;
}

// One face of level 0: as the blocks of the file, or as decoded texels.
void UploadFace(GLenum face, const Image& image, const uint8_t* bytes) {
    const auto w = GLsizei(image.width), h = GLsizei(image.height);
    GLenum blocks = 0;
    switch (image.blocks) {
    case BlockFormat::Dxt1:
        // With its one-bit alpha: a block of three colours has a transparent fourth.
        blocks = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
        break;
    case BlockFormat::Dxt3:
        blocks = GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
        break;
    case BlockFormat::Dxt5:
        blocks = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
        break;
    case BlockFormat::None:
        glTexImage2D(face, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes);
        return;
    }
    glCompressedTexImage2D(face, 0, blocks, w, h, 0, GLsizei(image.FaceBytes()), bytes);
}

std::unique_ptr<TextureData> FileData(const std::shared_ptr<GlContext>& context, Image image,
                                      bool cube, const SampledRows& sampled = {}) {
    RoundToPowerOfTwo(image);
    if (image.width == sampled.width && image.height == sampled.height) {
        KeepTopRows(image, sampled.rows);
    }
    auto data = std::make_unique<TextureData>();
    data->context = context;
    data->cube = cube;
    data->desc.format = FormatOf(image);
    data->desc.pool = Pool::Managed;
    data->desc.width = image.width;
    data->desc.height = image.height;
    // One level: the game's samplers never filter between levels, so a chain would only cost
    // its upload time and a third more memory. An effect that asks for a mip filter has the
    // chain made when it first binds the texture (TextureData::PrepareMipChain).
    data->levels = 1;
    data->pending = std::move(image);
    data->hasPending = true;
    return data;
}

void SetAlphaOne(GLenum target, bool opaque) {
    glTexParameteri(target, GL_TEXTURE_SWIZZLE_A, opaque ? GL_ONE : GL_ALPHA);
}

// Dynamic textures take their staging's bytes as they lie (see UploadStaging); sampling puts
// red and blue back in their places.
void SwapRedAndBlue() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_R, GL_BLUE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B, GL_RED);
}

} // namespace

void UploadStaging(const TextureData& data) {
    // The 0xAARRGGBB texels lie in memory as B, G, R, A bytes. Handed over as R, G, B, A they
    // are copied unchanged (the texture swaps red and blue when sampled), where asking the
    // driver for the BGRA order makes it convert every texel, which costs as much as decoding
    // the video frame they carry.
    glBindTexture(GL_TEXTURE_2D, data.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(data.desc.width), GLsizei(data.desc.height),
                    GL_RGBA, GL_UNSIGNED_BYTE, data.staging.data());
}

TextureData::~TextureData() {
    if (!context) {
        return;
    }
    if (recyclable && texture != 0) {
        context->ReleaseTarget({desc.width, desc.height, desc.usage}, {texture, framebuffer});
        return;
    }
    context->ReleaseTexture(texture);
    context->ReleaseFramebuffer(framebuffer);
}

GLuint TextureData::Prepare() {
    if (!hasPending) {
        return texture;
    }
    if (!context->OnUiThread() || !context->Alive()) {
        return 0;
    }
    GlFailed();
    glGenTextures(1, &texture);
    const GLenum target = Target();
    glBindTexture(target, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (unsigned f = 0; f < pending.faces; ++f) {
        const GLenum face = cube ? GLenum(GL_TEXTURE_CUBE_MAP_POSITIVE_X + f) : GL_TEXTURE_2D;
        UploadFace(face, pending, pending.rgba.data() + pending.FaceBytes() * f);
    }
    SetAlphaOne(target, !pending.hasAlpha);
    // Complete with level 0 alone, whatever the sampler's minifying filter.
    glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, 0);
    pending = Image();
    hasPending = false;
    if (GlFailed()) {
        glDeleteTextures(1, &texture);
        texture = 0;
    }
    return texture;
}

GLuint TextureData::PrepareMipChain() {
    const GLuint name = Prepare();
    if (name == 0 || mipChain || desc.pool != Pool::Managed) {
        return name;
    }
    const GLenum target = Target();
    glBindTexture(target, name);
    GlFailed();
    glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, 1000);
    glGenerateMipmap(target);
    // A context may refuse to make the chain of a compressed texture (or have no memory for
    // it): level 0 alone then stays complete, and is sampled whatever the filter.
    if (GlFailed()) {
        glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, 0);
    }
    mipChain = true;
    return name;
}

std::shared_ptr<Texture> MakeFileTexture(const std::shared_ptr<GlContext>& context, Image image,
                                         const SampledRows& sampled) {
    return std::make_shared<Texture>(FileData(context, std::move(image), false, sampled));
}

std::shared_ptr<CubeTexture> MakeCubeTexture(const std::shared_ptr<GlContext>& context,
                                             Image image) {
    return std::make_shared<CubeTexture>(FileData(context, std::move(image), true));
}

int MakeTargetTexture(const std::shared_ptr<GlContext>& context, uint32_t width, uint32_t height,
                      uint32_t usage, std::shared_ptr<Texture>& out) {
    const bool renderTarget = usage & UsageRenderTarget;
    if (!context->OnUiThread() || width == 0 || height == 0 || width > kMaxImageSize ||
        height > kMaxImageSize) {
        return kErrInvalidCall;
    }
    auto data = std::make_unique<TextureData>();
    data->context = context;
    data->desc = {Format::X8R8G8B8, usage, Pool::Default, width, height};
    TargetNames names;
    if (!context->TakeTarget({width, height, usage}, names)) {
        GlFailed();
        glGenTextures(1, &names.texture);
        glBindTexture(GL_TEXTURE_2D, names.texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(width), GLsizei(height), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        if (GlFailed()) {
            glDeleteTextures(1, &names.texture);
            return kErrOutOfVideoMemory;
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        SetAlphaOne(GL_TEXTURE_2D, true);
        if (!renderTarget) {
            SwapRedAndBlue();
        }
        if (renderTarget) {
            glGenFramebuffers(1, &names.framebuffer);
            glBindFramebuffer(GL_FRAMEBUFFER, names.framebuffer);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                   names.texture, 0);
            if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
                glDeleteFramebuffers(1, &names.framebuffer);
                glDeleteTextures(1, &names.texture);
                return kErrOutOfVideoMemory;
            }
        }
    }
    data->texture = names.texture;
    data->framebuffer = names.framebuffer;
    data->recyclable = true;
    // Contents start as opaque black, new or recycled, so every frame starts the same.
    if (renderTarget) {
        glBindFramebuffer(GL_FRAMEBUFFER, names.framebuffer);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    } else {
        data->staging.assign(size_t(width) * height, 0xFF000000u);
        UploadStaging(*data);
    }
    out = std::make_shared<Texture>(std::move(data));
    return kOk;
}

} // namespace Internal

BaseTexture::BaseTexture(std::unique_ptr<Internal::TextureData> data) : data_(std::move(data)) {}

BaseTexture::~BaseTexture() = default;

int BaseTexture::GetLevelDesc(unsigned level, SurfaceDesc& out) const {
    if (level >= data_->levels) {
        return kErrInvalidCall;
    }
    out = data_->desc;
    out.width = std::max(1u, out.width >> level);
    out.height = std::max(1u, out.height >> level);
    return kOk;
}

unsigned BaseTexture::LevelCount() const {
    return data_->levels;
}

bool BaseTexture::UploadWaits() const {
    return data_->hasPending;
}

int BaseTexture::PreLoad() {
    if (!data_->hasPending) {
        return kOk;
    }
    if (!data_->context->OnUiThread()) {
        return kErrInvalidCall;
    }
    return data_->Prepare() != 0 ? kOk : kErrOutOfVideoMemory;
}

Texture::Texture(std::unique_ptr<Internal::TextureData> data) : BaseTexture(std::move(data)) {}

int Texture::GetSurfaceLevel(unsigned level, std::shared_ptr<Surface>& out) {
    if (level != 0) {
        return kErrInvalidCall;
    }
    out = std::make_shared<Surface>(shared_from_this());
    return kOk;
}

CubeTexture::CubeTexture(std::unique_ptr<Internal::TextureData> data)
    : BaseTexture(std::move(data)) {}

Surface::Surface(std::shared_ptr<Texture> texture) : texture_(std::move(texture)) {}

int Surface::GetDesc(SurfaceDesc& out) const {
    return texture_->GetLevelDesc(0, out);
}

int Surface::LockRect(LockedRect& out, const Rect* area, uint32_t flags) {
    Internal::TextureData& data = texture_->Data();
    if (!(data.desc.usage & UsageDynamic) || area != nullptr || data.locked ||
        (flags & ~uint32_t(LockDiscard)) != 0) {
        return kErrInvalidCall;
    }
    data.locked = true;
    out.bits = data.staging.data();
    out.pitch = int32_t(data.desc.width * 4);
    out.width = data.desc.width;
    out.height = data.desc.height;
    return kOk;
}

int Surface::UnlockRect() {
    Internal::TextureData& data = texture_->Data();
    if (!data.locked) {
        return kErrInvalidCall;
    }
    data.locked = false;
    if (!data.context->OnUiThread()) {
        return kErrInvalidCall;
    }
    Internal::UploadStaging(data);
    return kOk;
}

} // namespace Gfx
