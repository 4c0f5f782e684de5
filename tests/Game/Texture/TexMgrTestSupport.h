#pragma once

#include "../../FileSystem/FileSystemFixture.h"
#include "FileSystem/Locator.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/GlTexture.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace textest {

// Makes texture objects without a device. A file whose bytes start with "bad" does not decode.
// Counts the creations per file content and how many run at once.
class CountingCreator {
public:
    TexMgr::Creator Creator() {
        return {[this](const void* data, std::size_t size, bool,
                       std::shared_ptr<Gfx::Texture>& out) { return Make(data, size, out); },
                [this](const void* data, std::size_t size, std::shared_ptr<Gfx::CubeTexture>& out) {
                    return Make(data, size, out);
                }};
    }

    int Created(const std::string& content) {
        std::lock_guard<std::mutex> lock(mutex_);
        return created_[content];
    }
    int MostAtOnce() const { return mostAtOnce_; }

private:
    template <typename T>
    int Make(const void* data, std::size_t size, std::shared_ptr<T>& out) {
        const std::string content(static_cast<const char*>(data), size);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++created_[content];
            const int now = ++inFlight_[content];
            mostAtOnce_ = std::max(mostAtOnce_.load(), now);
        }
        int result = 0;
        if (content.rfind("bad", 0) == 0) {
            result = -2005529767;
        } else {
            out = std::make_shared<T>(std::make_unique<Gfx::Internal::TextureData>());
        }
        std::lock_guard<std::mutex> lock(mutex_);
        --inFlight_[content];
        return result;
    }

    std::mutex mutex_;
    std::map<std::string, int> created_;
    std::map<std::string, int> inFlight_;
    std::atomic<int> mostAtOnce_{0};
};

// A game tree with the locator pointed at it.
class TextureTree {
public:
    TextureTree() { Locator::Instance().Init(tree_.Root().string()); }
    void Add(const std::string& path, const std::string& bytes) { tree_.AddLoose(path, bytes); }

private:
    test::GameTree tree_;
};

} // namespace textest
