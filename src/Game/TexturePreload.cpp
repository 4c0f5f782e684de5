#include "Game/TexturePreload.h"

#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Device.h"

void TexturePreload::LoadTexture(const MapResource& resource) {
    if (resource.kind_ == MapResource::kSimple) {
        GetTexMgr().PreloadSimple(resource.name_, resource.background_);
    } else if (resource.kind_ == MapResource::kPano) {
        GetTexMgr().PreloadPano(resource.name_);
    }
}

void TexturePreload::ReleaseTexture(const MapResource& resource) {
    if (resource.kind_ == MapResource::kSimple) {
        GetTexMgr().ForgetSimple(resource.name_);
    } else if (resource.kind_ == MapResource::kPano) {
        GetTexMgr().ForgetPano(resource.name_);
    }
}

void TexturePreload::EvictManagedResources() {
    // The result is not tested: eviction is a hint.
    if (GfxLink::HasDevice()) {
        GfxLink::Device().EvictManagedResources();
    }
}

void TexturePreload::LoadSound(const SoundDef& sound) {
    game().sound_.Load(sound, false);
}

TexturePreload& GameTexturePreload() {
    static TexturePreload preload;
    return preload;
}
