#pragma once

#include "Platform/Gfx/Types.h"

#include <memory>

namespace Gfx {

class Surface;
namespace Internal {
struct TextureData;
}

// A texture: 2-D or cube, from a file, a render target or a dynamic (lockable) texture.
// Created by the Device. Textures from files hold decoded pixels until they are first bound or
// preloaded on the user-interface thread, so they may be created and released on any thread.
class BaseTexture {
public:
    virtual ~BaseTexture();
    BaseTexture(const BaseTexture&) = delete;
    BaseTexture& operator=(const BaseTexture&) = delete;

    virtual bool IsCube() const = 0;
    // Any thread: the size and format of a level (level 0 is the file's size rounded up to
    // powers of two). kErrInvalidCall for a level the texture does not have.
    int GetLevelDesc(unsigned level, SurfaceDesc& out) const;
    unsigned LevelCount() const;
    // User-interface thread: uploads the pixels of a texture from a file now rather than when it
    // is first set, and frees them; kOk with nothing to do once they are uploaded.
    // kErrInvalidCall on another thread, kErrOutOfVideoMemory when the texture cannot be made
    // (it then draws as no texture).
    int PreLoad();
    // User-interface thread: whether the texture holds pixels that wait for their upload.
    bool UploadWaits() const;

    // The layer's own view of the texture.
    Internal::TextureData& Data() const { return *data_; }

protected:
    explicit BaseTexture(std::unique_ptr<Internal::TextureData> data);

private:
    std::unique_ptr<Internal::TextureData> data_;
};

class Texture : public BaseTexture, public std::enable_shared_from_this<Texture> {
public:
    explicit Texture(std::unique_ptr<Internal::TextureData> data);
    bool IsCube() const override { return false; }
    // Level 0 only: the surface keeps the texture alive.
    int GetSurfaceLevel(unsigned level, std::shared_ptr<Surface>& out);
};

class CubeTexture : public BaseTexture {
public:
    explicit CubeTexture(std::unique_ptr<Internal::TextureData> data);
    bool IsCube() const override { return true; }
};

} // namespace Gfx
