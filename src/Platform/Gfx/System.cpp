#include "Platform/Gfx/System.h"

#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/GlContext.h"
#include "Platform/Gfx/GlRenderer.h"
#include "Platform/Gfx/GlTexture.h"
#include "Platform/Gfx/PictureSize.h"
#include "Platform/Window/NativeWindow.h"

#include <SDL.h>
#include <algorithm>
#include <mutex>
#include <optional>

namespace Gfx {

namespace {

std::mutex g_capsMutex;
std::optional<Caps> g_capsOverride;

void SetCoreAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

SDL_Window* Sdl(NativeWindow* window) {
    return reinterpret_cast<SDL_Window*>(window);
}

} // namespace

void System::PrepareWindow() {
    SetCoreAttributes();
}

std::unique_ptr<System> System::Create(NativeWindow* window) {
    if (window == nullptr) {
        return nullptr;
    }
    SetCoreAttributes();
    bool core = true;
    SDL_GLContext context = SDL_GL_CreateContext(Sdl(window));
    if (context == nullptr) {
        // An older driver: make whatever context exists so the capability test can say why.
        core = false;
        SDL_GL_ResetAttributes();
        context = SDL_GL_CreateContext(Sdl(window));
    }
    std::shared_ptr<Internal::GlContext> shared;
    if (context != nullptr) {
        shared = std::make_shared<Internal::GlContext>(Sdl(window), context);
        core = core && epoxy_is_desktop_gl() && epoxy_gl_version() >= 33;
        // Picture files are held to what the device takes before they are decoded.
        GLint side = 0, cubeSide = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
        glGetIntegerv(GL_MAX_CUBE_MAP_TEXTURE_SIZE, &cubeSide);
        SetLargestTexture(uint32_t(std::max(side, 0)), uint32_t(std::max(cubeSide, 0)));
    }
    return std::unique_ptr<System>(new System(window, std::move(shared), core));
}

std::unique_ptr<System> System::Create(const Platform::NativeWindow& window) {
    return Create(reinterpret_cast<NativeWindow*>(window.window));
}

System::System(NativeWindow* window, std::shared_ptr<Internal::GlContext> context, bool core)
    : window_(window), context_(std::move(context)), core_(core) {}

System::~System() {
    if (context_) {
        context_->Destroy();
    }
}

int System::GetDeviceCaps(Caps& out) {
    {
        std::lock_guard lock(g_capsMutex);
        if (g_capsOverride) {
            out = *g_capsOverride;
            return kOk;
        }
    }
    if (!context_) {
        return kErrNotAvailable;
    }
    out = core_ ? Caps{2, 0, true} : Caps{0, 0, false};
    return kOk;
}

int System::GetAdapterDisplayMode(DisplayMode& out) {
    SDL_DisplayMode mode{};
    const int display = std::max(SDL_GetWindowDisplayIndex(Sdl(window_)), 0);
    if (SDL_GetDesktopDisplayMode(display, &mode) != 0) {
        return kErrNotAvailable;
    }
    out.width = mode.w > 0 ? uint32_t(mode.w) : 1024;
    out.height = mode.h > 0 ? uint32_t(mode.h) : 768;
    out.refreshRate = mode.refresh_rate > 0 ? uint32_t(mode.refresh_rate) : 0;
    // The back buffer is always 32-bit: the desktop's format maps to X8R8G8B8.
    out.format = Format::X8R8G8B8;
    return kOk;
}

int System::CreateDevice(uint32_t behaviour, const PresentParams& params,
                         std::shared_ptr<Device>& out) {
    if (!context_ || !core_ || !context_->OnUiThread() ||
        params.backBufferFormat != Format::X8R8G8B8) {
        return kErrNotAvailable;
    }
    auto renderer = std::make_shared<Internal::Renderer>(context_);
    std::string log;
    if (int r = renderer->Init(log); r != kOk) {
        return r;
    }
    std::shared_ptr<Texture> backBuffer;
    if (int r = Internal::MakeTargetTexture(context_, params.backBufferWidth,
                                            params.backBufferHeight, UsageRenderTarget, backBuffer);
        r != kOk) {
        return r;
    }
    out = std::make_shared<Device>(renderer, behaviour, params, backBuffer);
    out->Reset(params);
    return kOk;
}

void System::OverrideCapsForTests(const Caps* caps) {
    std::lock_guard lock(g_capsMutex);
    if (caps != nullptr) {
        g_capsOverride = *caps;
    } else {
        g_capsOverride.reset();
    }
}

} // namespace Gfx
