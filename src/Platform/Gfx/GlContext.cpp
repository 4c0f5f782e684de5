#include "Platform/Gfx/GlContext.h"

#include <SDL.h>

namespace Gfx::Internal {

namespace {
// Recycled targets kept per size and usage: the frame pipeline re-creates a handful each frame.
constexpr size_t kRecycledPerKey = 6;
} // namespace

GlContext::GlContext(SDL_Window* window, void* context)
    : window_(window), context_(context), uiThread_(std::this_thread::get_id()),
      keepsDxtBlocks_(epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc")) {}

GlContext::~GlContext() {
    Destroy();
}

void GlContext::Destroy() {
    if (!alive_.load()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        for (auto& [key, list] : recycled_) {
            for (const TargetNames& names : list) {
                textures_.push_back(names.texture);
                framebuffers_.push_back(names.framebuffer);
            }
        }
        recycled_.clear();
    }
    Drain();
    alive_ = false;
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
}

void GlContext::ReleaseTexture(GLuint texture) {
    if (texture != 0 && alive_.load()) {
        std::lock_guard lock(mutex_);
        textures_.push_back(texture);
    }
}

void GlContext::ReleaseFramebuffer(GLuint framebuffer) {
    if (framebuffer != 0 && alive_.load()) {
        std::lock_guard lock(mutex_);
        framebuffers_.push_back(framebuffer);
    }
}

void GlContext::ReleaseTarget(const TargetKey& key, TargetNames names) {
    if (!alive_.load()) {
        return;
    }
    std::lock_guard lock(mutex_);
    auto& list = recycled_[key];
    if (list.size() < kRecycledPerKey) {
        list.push_back(names);
        return;
    }
    textures_.push_back(names.texture);
    if (names.framebuffer != 0) {
        framebuffers_.push_back(names.framebuffer);
    }
}

bool GlContext::TakeTarget(const TargetKey& key, TargetNames& out) {
    std::lock_guard lock(mutex_);
    auto it = recycled_.find(key);
    if (it == recycled_.end() || it->second.empty()) {
        return false;
    }
    out = it->second.back();
    it->second.pop_back();
    return true;
}

void GlContext::Drain() {
    if (!OnUiThread() || !alive_.load()) {
        return;
    }
    std::vector<GLuint> textures, framebuffers;
    {
        std::lock_guard lock(mutex_);
        textures.swap(textures_);
        framebuffers.swap(framebuffers_);
    }
    if (!framebuffers.empty()) {
        glDeleteFramebuffers(GLsizei(framebuffers.size()), framebuffers.data());
    }
    if (!textures.empty()) {
        glDeleteTextures(GLsizei(textures.size()), textures.data());
    }
}

} // namespace Gfx::Internal
