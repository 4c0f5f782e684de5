#include "Game/TexMgr.h"

#include "FileSystem/Locator.h"
#include "Game/Check.h"
#include "Game/Exception.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Log.h"
#include "Game/MissingPicture.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Texture.h"
#include "Platform/Memory/Memory.h"

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <cstdint>
#include <utility>

namespace {

TexMgr::Creator DeviceCreator() {
    return {[](const void* data, std::size_t size, bool frame, std::shared_ptr<Gfx::Texture>& out) {
                const Gfx::SampledRows sampled =
                    frame ? Gfx::SampledRows{TexMgr::kFrameWidth, TexMgr::kFrameWidth,
                                             TexMgr::kFrameHeight}
                          : Gfx::SampledRows{};
                return GfxLink::Device().CreateTextureFromFileInMemory(data, size, out, sampled);
            },
            [](const void* data, std::size_t size, std::shared_ptr<Gfx::CubeTexture>& out) {
                return GfxLink::Device().CreateCubeTextureFromFileInMemory(data, size, out);
            }};
}

int IntAttr(const XmlDom::Element& element, const std::string& name) {
    return boost::lexical_cast<int>(XmlDom::RequiredAttr(element, name));
}

int IntAttr(const XmlDom::Element& element, const std::string& name, const std::string& fallback) {
    return boost::lexical_cast<int>(XmlDom::Attr(element, name, fallback));
}

// False for a background kept as the rows the frame shows.
bool Whole(const Gfx::BaseTexture& texture) {
    Gfx::SurfaceDesc desc;
    return texture.GetLevelDesc(0, desc) != Gfx::kOk || desc.width != TexMgr::kFrameWidth ||
           desc.height != TexMgr::kFrameHeight;
}

void SetAndClearStage(const std::shared_ptr<Gfx::BaseTexture>& texture, const char* what) {
    Gfx::Device& device = GfxLink::Device();
    CheckResult(device.SetTexture(0, texture), ".\\Game\\Texture", what);
    CheckResult(device.SetTexture(0, nullptr), ".\\Game\\Texture",
                "dx().device()->SetTexture ( 0, 0 )");
}

} // namespace

TexMgr::TexMgr() : TexMgr(DeviceCreator()) {}

TexMgr::TexMgr(Creator creator) : creator_(std::move(creator)) {}

// One thread loads a path while the others wait for its result. The file is read and decoded
// outside the lock, so a slow load holds up only the users of the same path.
template <typename T, typename Create>
std::shared_ptr<T> TexMgr::Load(Cache<T>& cache, const std::string& path, bool frame, bool queue,
                                const Create& create) {
    if (path.empty()) {
        return nullptr;
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            Entry<T>& entry = cache[path];
            if (entry.texture && (frame || entry.whole)) {
                return entry.texture;
            }
            if (!entry.loading) {
                entry.loading = true;
                break;
            }
            loaded_.wait(lock);
        }
    }

    std::shared_ptr<T> texture;
    bool created = false;
    try {
        std::vector<std::uint8_t> data;
        if (Locator::Instance().ReadAll(path, data)) {
            created = create(data.data(), data.size(), texture) == 0 && texture;
        }
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (auto found = cache.find(path); found != cache.end()) {
            found->second.loading = false;
        }
        loaded_.notify_all();
        throw;
    }
    if (!created) {
        texture.reset();
    }
    LogFormat(created ? "Loaded texture '%1%'" : "Failed to load texture '%1%'", path);

    std::lock_guard<std::mutex> lock(mutex_);
    // A path forgotten while it loaded stays forgotten; the caller still gets its texture.
    if (auto found = cache.find(path); found != cache.end()) {
        found->second.texture = texture;
        found->second.whole = !frame || !texture || Whole(*texture);
        found->second.loading = false;
        if (queue && texture) {
            uploads_.push_back(texture);
        }
    }
    loaded_.notify_all();
    return texture;
}

std::shared_ptr<Gfx::Texture> TexMgr::LoadFlat(const std::string& path, bool frame, bool queue) {
    return Load(
        flat_, path, frame, queue,
        [this, frame](const void* data, std::size_t size, std::shared_ptr<Gfx::Texture>& out) {
            return creator_.flat(data, size, frame, out);
        });
}

std::shared_ptr<Gfx::CubeTexture> TexMgr::LoadCube(const std::string& name, bool queue) {
    return Load(cube_, name, false, queue, creator_.cube);
}

std::shared_ptr<Gfx::Texture> TexMgr::Simple(const std::string& path) {
    return LoadFlat(path, false, false);
}

std::shared_ptr<Gfx::CubeTexture> TexMgr::Pano(const std::string& name) {
    return LoadCube(name, false);
}

std::shared_ptr<Gfx::Texture> TexMgr::Background(const std::string& path) {
    return LoadFlat(path, true, false);
}

void TexMgr::PreloadSimple(const std::string& path, bool frame) {
    LoadFlat(path, frame, true);
}

void TexMgr::PreloadPano(const std::string& name) {
    LoadCube(name, true);
}

void TexMgr::UploadQueued(unsigned most) {
    unsigned uploaded = 0;
    bool drained = false;
    while (uploaded < most && !drained) {
        std::shared_ptr<Gfx::BaseTexture> texture;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            drained = uploads_.empty();
            if (!drained) {
                texture = uploads_.front().lock();
                uploads_.pop_front();
            }
        }
        // One uploaded by its first use meanwhile takes no turn.
        if (texture && texture->UploadWaits()) {
            CheckResult(texture->PreLoad(), ".\\Game\\Texture", "texture->PreLoad()");
            ++uploaded;
            pagesToReturn_ = true;
        }
    }
    // A burst of uploads is over: the pages of the pixels it freed go back to the system.
    if (drained && pagesToReturn_) {
        pagesToReturn_ = false;
        Memory::ReturnFreedPages();
    }
}

void TexMgr::TouchSimple(const std::string& path) {
    if (!path.empty()) {
        SetAndClearStage(Simple(path), "dx().device()->SetTexture ( 0, Simple ( tex ))");
    }
}

void TexMgr::TouchPano(const std::string& name) {
    if (!name.empty()) {
        SetAndClearStage(Pano(name), "dx().device()->SetTexture ( 0, Pano ( tex ))");
    }
}

void TexMgr::TouchBackground(const std::string& path) {
    if (!path.empty()) {
        SetAndClearStage(Background(path), "dx().device()->SetTexture ( 0, Simple ( tex ))");
    }
}

template <typename T>
void TexMgr::Forget(Cache<T>& cache, const std::string& path) {
    std::shared_ptr<T> released; // released after the lock
    std::lock_guard<std::mutex> lock(mutex_);
    if (auto found = cache.find(path); found != cache.end()) {
        released = std::move(found->second.texture);
        cache.erase(found);
    }
}

void TexMgr::ForgetSimple(const std::string& path) {
    Forget(flat_, path);
}

void TexMgr::ForgetPano(const std::string& name) {
    Forget(cube_, name);
}

void TexMgr::LoadList(const XmlDom::Element& textures) {
    const XmlDom::Selection stripes = XmlDom::SelectNodes(textures, "stripe");
    for (int i = 0; i < stripes.Length(); ++i) {
        const XmlDom::Element node = XmlDom::Item(stripes, i);
        const std::string name = XmlDom::RequiredAttr(node, "name");
        const std::string src = XmlDom::Attr(node, "src", "");
        // Each value is checked as soon as it is read, so an error names it (Where).
        const int length = IntAttr(node, "length", "1");
        if (length < 0 || length > kMaxStripeLength) {
            throw exception("Configuration error: \n  Attribute 'length' out of range (0 to " +
                            std::to_string(kMaxStripeLength) + ") at stripe '" + name + "'");
        }
        const int width = IntAttr(node, "width");
        const int height = IntAttr(node, "height");

        // The fragments are read before the table is touched, so a faulty one leaves it as is.
        struct Run {
            int frame, length, x, y;
            std::string src;
        };
        std::vector<Run> runs;
        const XmlDom::Selection fragments = XmlDom::SelectNodes(node, "fragment");
        for (int j = 0; j < fragments.Length(); ++j) {
            const XmlDom::Element fragment = XmlDom::Item(fragments, j);
            runs.push_back({IntAttr(fragment, "frame"), IntAttr(fragment, "length", "1"),
                            IntAttr(fragment, "x"), IntAttr(fragment, "y"),
                            XmlDom::Attr(fragment, "src", src)});
        }

        std::lock_guard<std::mutex> lock(mutex_);
        Stripe& stripe = stripes_[name];
        stripe.width = width;
        stripe.height = height;
        stripe.frames.resize(static_cast<std::size_t>(length));
        for (const Run& run : runs) {
            // Frames count from 1; only those inside the stripe are written.
            const std::int64_t first = std::max<std::int64_t>(0, 1 - std::int64_t(run.frame));
            const std::int64_t last =
                std::min<std::int64_t>(run.length, std::int64_t(length) + 1 - run.frame);
            if (first > 0 || last < run.length) {
                LogFormat("Stripe '%1%': frames of the fragment at frame %2% outside 1 to %3% "
                          "ignored",
                          name, run.frame, length);
            }
            for (std::int64_t k = first; k < last; ++k) {
                Frame& frame = stripe.frames[static_cast<std::size_t>(run.frame + k - 1)];
                frame.src = run.src;
                frame.x = static_cast<int>(run.x + k * width);
                frame.y = run.y;
            }
        }
    }
}

TexMgr::Stripe TexMgr::GetStripe(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = stripes_.find(name);
    if (found == stripes_.end()) {
        throw exception("No stripe '" + name + "'");
    }
    return found->second;
}

const TexMgr::Stripe* TexMgr::FindStripe(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = stripes_.find(name);
    return found == stripes_.end() ? nullptr : &found->second;
}

TexMgr& GetTexMgr() {
    return game().texMgr_;
}

std::shared_ptr<Gfx::Texture> Simple(const std::string& path) {
    return GetTexMgr().Simple(path);
}

std::shared_ptr<Gfx::CubeTexture> Pano(const std::string& name) {
    return GetTexMgr().Pano(name);
}

void TouchSimple(const std::string& path) {
    GetTexMgr().TouchSimple(path);
}

void TouchPano(const std::string& name) {
    GetTexMgr().TouchPano(name);
}

std::shared_ptr<Gfx::Texture> SimpleOnce(const std::string& path, MissingPicture& missing) {
    // The manager logs each failed load itself.
    return missing.Get(
        path, [](const std::string& asked) { return GetTexMgr().Simple(asked); }, [] {});
}
