#pragma once

// Internal to the graphics layer: the OpenGL context shared by every graphics object, with the
// queue of names released away from the user-interface thread and the recycler of render and
// dynamic targets. Game code never includes this header.

#include <atomic>
#include <cstdint>
#include <epoxy/gl.h>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

struct SDL_Window;

namespace Gfx::Internal {

// GL names of one render or dynamic target, kept for reuse by an equal request.
struct TargetNames {
    GLuint texture = 0;
    GLuint framebuffer = 0;
};
using TargetKey = std::tuple<uint32_t, uint32_t, uint32_t>; // width, height, usage

// Reads and clears OpenGL's error flags: true when any was set (an allocation that failed).
inline bool GlFailed() {
    bool failed = false;
    while (glGetError() != GL_NO_ERROR) {
        failed = true;
    }
    return failed;
}

class GlContext {
public:
    GlContext(SDL_Window* window, void* context);
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    SDL_Window* Window() const { return window_; }
    bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }
    // False once the context is destroyed: queued names then die with it.
    bool Alive() const { return alive_.load(); }
    // Whether textures keep the DXT blocks of their files: the context samples S3TC formats.
    // Otherwise DXT pictures are decoded in software. Any thread.
    bool KeepsDxtBlocks() const { return keepsDxtBlocks_.load(); }
    // Decodes DXT pictures in software from now on even where the context could sample them
    // (no effect without S3TC), to compare the two.
    void DecodeDxtInSoftware() { keepsDxtBlocks_ = false; }
    // Destroys the context after deleting every queued name (user-interface thread).
    void Destroy();

    // Any thread: names are deleted at the next Drain on the user-interface thread.
    void ReleaseTexture(GLuint texture);
    void ReleaseFramebuffer(GLuint framebuffer);
    // Any thread: the names go to the recycler (a few per key) or to the deletion queue.
    void ReleaseTarget(const TargetKey& key, TargetNames names);
    // User-interface thread: recycled names for the key, or false.
    bool TakeTarget(const TargetKey& key, TargetNames& out);
    // User-interface thread: deletes the queued names.
    void Drain();

private:
    SDL_Window* window_;
    void* context_;
    std::thread::id uiThread_;
    std::atomic<bool> alive_{true};
    std::atomic<bool> keepsDxtBlocks_;
    std::mutex mutex_;
    std::vector<GLuint> textures_;
    std::vector<GLuint> framebuffers_;
    std::map<TargetKey, std::vector<TargetNames>> recycled_;
};

} // namespace Gfx::Internal
