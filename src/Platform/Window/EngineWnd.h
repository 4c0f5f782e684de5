#pragma once

#include "Platform/Window/FrameRect.h"

#include <memory>
#include <string>

class CCustomMessageLoop;

namespace Platform {
struct NativeWindow;
}

// The program's one window: titled "Korvantine", 1024x768 at the top left, no border,
// with the program's icon. In full screen it covers the desktop at its own resolution
// and the 1024x768 frame is scaled into FrameRect with black bars.
//
// Closing it (by the player or the system) logs "Destroying window" and posts quit 0 to
// the message loop; the window is then only hidden, because the graphics device still
// draws on it until the end of the run, when the destructor destroys it silently. A
// window never closed logs "Destroying window" (and posts quit 0) in the destructor
// instead, so every run logs the line exactly once.
class EngineWnd {
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;
    // The failure result of Create (E_FAIL).
    static constexpr int kCreateFailed = -2147467259;
    // The result of Create when no video driver is chosen in the environment and none of
    // those that open a display can open one (no display to show the window on).
    static constexpr int kNoDisplay = -2147467260;

    EngineWnd();
    ~EngineWnd();
    EngineWnd(const EngineWnd&) = delete;
    EngineWnd& operator=(const EngineWnd&) = delete;

    // Logs "CreateWindow", creates and shows the window and starts taking its events from
    // the calling thread's message loop. Answers 0, or kNoDisplay or kCreateFailed with the
    // reason in ErrorText (nothing is left created then). With no video driver chosen
    // (SDL_VIDEODRIVER), only drivers that open a display are tried; one that shows nothing
    // (offscreen) is used only when chosen. prepareContext, when given, runs after the
    // window's own OpenGL attributes are set and before the window exists: the graphics
    // layer sets the attributes its context needs there, so window and context agree.
    int Create(bool windowed, void (*prepareContext)() = nullptr);
    const std::string& ErrorText() const;

    // Created and not closed.
    bool IsWindow() const;
    // What a close request does: log "Destroying window" (once), post quit 0, hide.
    void OnDestroyRequest();

    // The window has the keyboard focus (true until told otherwise: headless video
    // drivers never say).
    bool Focused() const;
    bool Minimized() const;

    // Where the 1024x768 frame goes in the window's drawable area (see LetterboxRect).
    Platform::Rect FrameRect() const;

    // Inside the platform layers: the native window (null before Create).
    Platform::NativeWindow* Native() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
