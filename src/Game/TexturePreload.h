#pragma once

#include "Game/PreloadTarget.h"

// The game's preload target: textures through the texture manager (which only reads and
// decodes on the worker's threads; the frames upload them a few at a time on the user-interface
// thread) and the device's eviction; sounds through the sound manager, which also only reads
// and decodes.
class TexturePreload : public PreloadTarget {
public:
    void LoadTexture(const MapResource& resource) override;
    void ReleaseTexture(const MapResource& resource) override;
    void EvictManagedResources() override;
    void LoadSound(const SoundDef& sound) override;
};

// The one target of the game's map.
TexturePreload& GameTexturePreload();
