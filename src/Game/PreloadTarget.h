#pragma once

#include "Game/MapPart.h"
#include "Sound/SoundDef.h"

// What the preload worker does with a part's resources: the game hands it the texture
// manager, the device and the sound manager behind this interface. The calls come from the
// worker thread, LoadTexture from the worker's few decoding threads, several at once (all from
// the user-interface thread, one after another, with `nomultithread`), so an implementation
// does file reading and decoding only, never a graphics call, and any wait of its own must not
// outlast a cancelled preload. A resource that cannot be loaded is reported by throwing; the
// preload logs it, counts the step and goes on.
class PreloadTarget {
public:
    // Kind 1: a 2-D texture by path; kind 2: a cube map by name; other kinds: nothing.
    virtual void LoadTexture(const MapResource& resource) = 0;
    // Drops the texture from its cache.
    virtual void ReleaseTexture(const MapResource& resource) = 0;
    // Lets the device drop what it keeps of released textures.
    virtual void EvictManagedResources() = 0;
    virtual void LoadSound(const SoundDef& sound) = 0;

protected:
    ~PreloadTarget() = default;
};
