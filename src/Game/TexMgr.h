#pragma once

#include "Game/XmlDom.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class MissingPicture;

namespace Gfx {
class BaseTexture;
class Texture;
class CubeTexture;
} // namespace Gfx

// Loads every texture of the game once and hands the same texture object to every user: flat
// textures by data path, cube maps by name. Keeps the stripes of the parts' "textures"
// elements. The preload worker and the user-interface thread share it: the caches are
// guarded, a path being loaded is loaded by one thread while the others wait for it, and the
// loading itself only reads and decodes (the pixels reach the graphics card on the
// user-interface thread: the preload's textures a few per frame, the others when first used).
class TexMgr {
public:
    struct Frame {
        std::string src;
        int x = 0;
        int y = 0;
    };
    struct Stripe {
        std::vector<Frame> frames;
        int width = 0;
        int height = 0;
    };

    // How textures are made from file bytes; the device's file-texture creation by default.
    // `frame`: the picture is only ever drawn over the whole frame (see Background), so that
    // a 1024x1024 picture may be made from the top 768 rows that the frame shows.
    struct Creator {
        std::function<int(const void*, std::size_t, bool frame, std::shared_ptr<Gfx::Texture>&)>
            flat;
        std::function<int(const void*, std::size_t, std::shared_ptr<Gfx::CubeTexture>&)> cube;
    };

    // The longest stripe a definition may declare.
    static constexpr int kMaxStripeLength = 65536;
    // The frame a background fills: a picture of kFrameWidth x kFrameWidth texels shows its top
    // kFrameHeight rows at one texel per pixel, and is kept as those rows alone.
    static constexpr unsigned kFrameWidth = 1024;
    static constexpr unsigned kFrameHeight = 768;

    TexMgr();
    explicit TexMgr(Creator creator);
    TexMgr(const TexMgr&) = delete;
    TexMgr& operator=(const TexMgr&) = delete;

    // The texture of a data path (loaded on the first call), or none after a failed load, which
    // the next call tries again. An empty path is none.
    std::shared_ptr<Gfx::Texture> Simple(const std::string& path);
    std::shared_ptr<Gfx::CubeTexture> Pano(const std::string& name);
    // The texture of a picture drawn over the whole frame (a screen's background), which samples
    // only the rows the frame shows: as Simple, but a picture of kFrameWidth texels square is
    // kept as its top kFrameHeight rows. Simple loads such a path again whole.
    std::shared_ptr<Gfx::Texture> Background(const std::string& path);

    // The preload's loads (any thread): Simple, or Background for `frame`, and Pano; the
    // texture then waits for UploadQueued.
    void PreloadSimple(const std::string& path, bool frame);
    void PreloadPano(const std::string& name);
    // User-interface thread: uploads the pixels of up to `most` of the waiting textures, oldest
    // first, and frees them. Textures forgotten or uploaded by their first use meanwhile are
    // passed over. Once none waits, the pages of the freed pixels go back to the system.
    void UploadQueued(unsigned most);

    // Sets the texture on stage 0 of the device and clears the stage again, so that it is
    // loaded and on the graphics card before it is first drawn. Empty does nothing.
    void TouchSimple(const std::string& path);
    void TouchPano(const std::string& name);
    void TouchBackground(const std::string& path);

    // Drops the cache's reference (the preload worker, for the textures of a part it leaves).
    void ForgetSimple(const std::string& path);
    void ForgetPano(const std::string& name);

    // Reads the "stripe" children of a part's "textures" element.
    void LoadList(const XmlDom::Element& textures);
    // A copy of the stripe of that name; `exception` "No stripe '<name>'" when there is none.
    Stripe GetStripe(const std::string& name) const;
    // The stripe of that name, or null when there is none. The record stays where it is for
    // the manager's life, and its contents change only while definitions are read
    // (LoadList), so a control may keep the pointer from its layout on and read it unlocked.
    const Stripe* FindStripe(const std::string& name) const;

private:
    template <typename T>
    struct Entry {
        std::shared_ptr<T> texture;
        bool loading = false;
        bool whole = true; // false: the texture holds a background's top rows alone
    };
    template <typename T>
    using Cache = std::map<std::string, Entry<T>>;

    // `frame`: a background's load, which takes any texture of the path and may keep part of
    // the picture; otherwise only a whole one will do.
    // `queue`: a texture made by this call waits for UploadQueued.
    template <typename T, typename Create>
    std::shared_ptr<T> Load(Cache<T>& cache, const std::string& path, bool frame, bool queue,
                            const Create& create);
    std::shared_ptr<Gfx::Texture> LoadFlat(const std::string& path, bool frame, bool queue);
    std::shared_ptr<Gfx::CubeTexture> LoadCube(const std::string& name, bool queue);

    template <typename T>
    void Forget(Cache<T>& cache, const std::string& path);

    Cache<Gfx::Texture> flat_;
    Cache<Gfx::CubeTexture> cube_;
    std::map<std::string, Stripe> stripes_;
    Creator creator_;
    mutable std::mutex mutex_;
    std::condition_variable loaded_;
    // The preload's textures waiting for their upload; the caches own them.
    std::deque<std::weak_ptr<Gfx::BaseTexture>> uploads_;
    bool pagesToReturn_ =
        false; // user-interface thread: uploads freed pixels since the last return
};

// The game's texture manager.
TexMgr& GetTexMgr();

// The same operations on GetTexMgr().
std::shared_ptr<Gfx::Texture> Simple(const std::string& path);
std::shared_ptr<Gfx::CubeTexture> Pano(const std::string& name);
void TouchSimple(const std::string& path);
void TouchPano(const std::string& name);

// The flat texture of `path` for a picture drawn in every frame: Simple, except that once a
// load has failed no request is made while `missing` remembers it (none is answered).
std::shared_ptr<Gfx::Texture> SimpleOnce(const std::string& path, MissingPicture& missing);
