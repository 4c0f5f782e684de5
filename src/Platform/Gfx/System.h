#pragma once

#include "Platform/Gfx/Types.h"

#include <memory>

namespace Platform {
struct NativeWindow;
}

namespace Gfx {

class Device;
namespace Internal {
class GlContext;
}

// The window the graphics layer draws into, as the window layer hands it over (its native
// window object behind an opaque type: reinterpret_cast from the window layer's pointer).
struct NativeWindow;

// The graphics system: owns the OpenGL context of the window and creates the device.
// User-interface thread only.
class System {
public:
    // Sets the context attributes the layer needs (OpenGL 3.3 core, no depth, stencil or
    // multisample buffers). Call once before the window is created; the window must be an
    // OpenGL window.
    static void PrepareWindow();
    // Null when there is no window. A system whose context cannot be made answers failures
    // from GetDeviceCaps.
    static std::unique_ptr<System> Create(NativeWindow* window);
    // The same on the window layer's window (EngineWnd::Native()).
    static std::unique_ptr<System> Create(const Platform::NativeWindow& window);
    ~System();
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    // Pixel shaders 2.0 and hardware transform with an OpenGL 3.3 core context; pixel shader
    // version 0 with only an older context; kErrNotAvailable without any.
    int GetDeviceCaps(Caps& out);
    // The desktop's mode (1024x768 X8R8G8B8 where the driver reports none).
    int GetAdapterDisplayMode(DisplayMode& out);
    int CreateDevice(uint32_t behaviour, const PresentParams& params, std::shared_ptr<Device>& out);

    // Test hook: capabilities reported instead of the real ones (null restores them).
    static void OverrideCapsForTests(const Caps* caps);

private:
    System(NativeWindow* window, std::shared_ptr<Internal::GlContext> context, bool core);

    NativeWindow* window_;
    std::shared_ptr<Internal::GlContext> context_;
    bool core_;
};

} // namespace Gfx
