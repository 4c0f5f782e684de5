#include "Platform/Window/EngineWnd.h"

#include "Game/Log.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "Platform/Window/EventSink.h"
#include "Platform/Window/NativeWindow.h"
#include "Platform/Window/ProgramIcon.h"

#include <SDL.h>
#include <algorithm>
#include <dlfcn.h>
#include <utility>

namespace {

constexpr char kTitle[] = "Korvantine";
constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS;

// What the graphics layer's context needs from the window's pixel format; they must be
// set before the window exists.
bool SetContextAttributes() {
    const std::pair<SDL_GLattr, int> attributes[] = {
        {SDL_GL_CONTEXT_MAJOR_VERSION, 3},
        {SDL_GL_CONTEXT_MINOR_VERSION, 3},
        {SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE},
        {SDL_GL_DOUBLEBUFFER, 1},
        {SDL_GL_RED_SIZE, 8},
        {SDL_GL_GREEN_SIZE, 8},
        {SDL_GL_BLUE_SIZE, 8},
        {SDL_GL_DEPTH_SIZE, 24},
        {SDL_GL_STENCIL_SIZE, 8},
    };
    for (const auto& [attribute, value] : attributes) {
        if (SDL_GL_SetAttribute(attribute, value) != 0) {
            return false;
        }
    }
    return true;
}

// SDL loads the OpenGL driver with the first OpenGL window and unloads it with the last.
// Unloaded, the driver's still-allocated memory reads as leaked to the leak checker, and
// the next window has to load it all again; so whatever driver libraries SDL loaded stay
// loaded for the rest of the process. Libraries not loaded are not touched.
void KeepGraphicsDriverLoaded() {
    static const bool kept = [] {
        for (const char* name : {"libEGL.so.1", "libGL.so.1", "libOpenGL.so.0", "libGLX.so.0"}) {
            dlopen(name, RTLD_NOW | RTLD_NOLOAD); // the handle is never closed
        }
        return true;
    }();
    (void)kept;
}

// The video drivers that open a display, comma-separated in SDL's order of preference: every
// driver SDL has but those that draw into memory only and show nothing.
std::string DisplayDrivers() {
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string name = SDL_GetVideoDriver(i);
        if (name == "offscreen" || name == "dummy" || name == "evdev") {
            continue;
        }
        drivers += (drivers.empty() ? "" : ",") + name;
    }
    return drivers;
}

// Starts SDL's video. Unless a video driver is chosen (SDL_VIDEODRIVER), only the drivers
// that open a display are tried: SDL would otherwise fall back to one that shows nothing, and
// the game would run with no window to be seen. Answers the failure's reason, empty on
// success; noDisplay tells that no display could be opened with no driver chosen.
std::string StartVideo(bool& noDisplay) {
    noDisplay = false;
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (chosen != nullptr && *chosen != '\0') {
        return SDL_InitSubSystem(kSubsystems) == 0
                   ? std::string()
                   : std::string("Cannot start the video subsystem: ") + SDL_GetError();
    }
    const std::string drivers = DisplayDrivers();
    int started = -1;
    if (!drivers.empty() && SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers.c_str(),
                                                    SDL_HINT_OVERRIDE) == SDL_TRUE) {
        started = SDL_InitSubSystem(kSubsystems);
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    }
    if (started == 0) {
        return std::string();
    }
    noDisplay = true;
    std::string tried = drivers;
    std::replace(tried.begin(), tried.end(), ',', ' ');
    return drivers.empty() ? "SDL has no video driver that opens a display"
                           : "no display found (video drivers tried: " + tried + ")";
}

} // namespace

struct EngineWnd::Impl final : Platform::EventSink {
    void OnEvent(const SDL_Event& event) override;
    bool SetIcon();
    // Undoes whatever Create did so far.
    void Release();

    EngineWnd* owner = nullptr;
    Platform::NativeWindow native;
    Uint32 id = 0;
    std::string error;
    bool videoStarted = false;
    bool closed = false;
    bool focused = true;
    bool minimized = false;
    CCustomMessageLoop* loop = nullptr;
};

void EngineWnd::Impl::OnEvent(const SDL_Event& event) {
    if (event.type == SDL_QUIT) {
        owner->OnDestroyRequest();
        return;
    }
    if (event.type != SDL_WINDOWEVENT || event.window.windowID != id) {
        return;
    }
    switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        owner->OnDestroyRequest();
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        focused = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        focused = false;
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        minimized = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        minimized = false;
        break;
    default:
        break;
    }
}

bool EngineWnd::Impl::SetIcon() {
    std::array<std::uint32_t, Platform::kIconSize* Platform::kIconSize> pixels =
        Platform::ProgramIconPixels();
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        pixels.data(), Platform::kIconSize, Platform::kIconSize, 32,
        Platform::kIconSize * static_cast<int>(sizeof(std::uint32_t)), SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr) {
        return false;
    }
    // The window keeps its own copy of the pixels.
    SDL_SetWindowIcon(native.window, icon);
    SDL_FreeSurface(icon);
    return true;
}

void EngineWnd::Impl::Release() {
    // Only while the loop is still the thread's: a loop destroyed first took its list along.
    if (loop != nullptr && loop == CurrentLoop()) {
        loop->RemoveEventSink(this);
    }
    loop = nullptr;
    if (native.window != nullptr) {
        SDL_DestroyWindow(native.window);
        native.window = nullptr;
    }
    if (videoStarted) {
        SDL_QuitSubSystem(kSubsystems);
        videoStarted = false;
    }
    id = 0;
}

EngineWnd::EngineWnd() : impl_(std::make_unique<Impl>()) {
    impl_->owner = this;
}

EngineWnd::~EngineWnd() {
    if (impl_->native.window != nullptr && !impl_->closed) {
        LogWrite("Destroying window");
        PostQuitMessage(0);
    }
    impl_->Release();
}

int EngineWnd::Create(bool windowed, void (*prepareContext)()) {
    LogWrite("CreateWindow");
    Impl& impl = *impl_;
    if (impl.native.window != nullptr) {
        impl.error = "The window exists already";
        return kCreateFailed;
    }
    impl.closed = false;
    impl.focused = true;
    impl.minimized = false;
    const auto fail = [&impl](std::string reason, int result = kCreateFailed) {
        impl.error = std::move(reason);
        impl.Release();
        return result;
    };
    bool noDisplay = false;
    if (std::string reason = StartVideo(noDisplay); !reason.empty()) {
        return fail(std::move(reason), noDisplay ? kNoDisplay : kCreateFailed);
    }
    impl.videoStarted = true;
    if (!SetContextAttributes()) {
        return fail(std::string("Cannot set the OpenGL attributes: ") + SDL_GetError());
    }
    if (prepareContext != nullptr) {
        prepareContext();
    }
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN |
                         (windowed ? 0u : Uint32(SDL_WINDOW_FULLSCREEN_DESKTOP));
    impl.native.window = SDL_CreateWindow(kTitle, 0, 0, kWidth, kHeight, flags);
    if (impl.native.window == nullptr) {
        return fail(std::string("Cannot create the window: ") + SDL_GetError());
    }
    KeepGraphicsDriverLoaded();
    impl.id = SDL_GetWindowID(impl.native.window);
    if (impl.id == 0) {
        return fail(std::string("Cannot identify the window: ") + SDL_GetError());
    }
    if (!impl.SetIcon()) {
        return fail(std::string("Cannot make the window icon: ") + SDL_GetError());
    }
    SDL_ShowWindow(impl.native.window);
    // Keys are read as keys: no input method window opens.
    SDL_StopTextInput();
    impl.loop = CurrentLoop();
    if (impl.loop != nullptr) {
        impl.loop->AddEventSink(&impl);
    }
    impl.error.clear();
    return 0;
}

const std::string& EngineWnd::ErrorText() const {
    return impl_->error;
}

bool EngineWnd::IsWindow() const {
    return impl_->native.window != nullptr && !impl_->closed;
}

void EngineWnd::OnDestroyRequest() {
    if (!IsWindow()) {
        return;
    }
    impl_->closed = true;
    LogWrite("Destroying window");
    PostQuitMessage(0);
    // The graphics device still draws on it until the end of the run.
    SDL_HideWindow(impl_->native.window);
}

bool EngineWnd::Focused() const {
    return impl_->focused;
}

bool EngineWnd::Minimized() const {
    return impl_->minimized;
}

Platform::Rect EngineWnd::FrameRect() const {
    if (impl_->native.window == nullptr) {
        return Platform::Rect{};
    }
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(impl_->native.window, &width, &height);
    return Platform::LetterboxRect(width, height);
}

Platform::NativeWindow* EngineWnd::Native() const {
    return impl_->native.window != nullptr ? &impl_->native : nullptr;
}
