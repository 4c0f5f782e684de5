#pragma once

// Inside the platform layers only: game code never includes this header. The graphics
// layer makes its OpenGL context on this window (created with SDL_WINDOW_OPENGL and the
// attributes of an OpenGL 3.3 core context with a double-buffered RGB8 back buffer, depth
// 24 and stencil 8, unless the preparation given to EngineWnd::Create changes them) and
// presents by swapping it.

#include <SDL_video.h>

namespace Platform {

struct NativeWindow {
    SDL_Window* window = nullptr;
};

} // namespace Platform
