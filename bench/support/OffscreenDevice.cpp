#include "OffscreenDevice.h"

#include <cstdlib>

namespace bench {

OffscreenDevice::OffscreenDevice(uint32_t presentationInterval) {
    if (std::getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return;
    }
    Gfx::System::PrepareWindow();
    window = SDL_CreateWindow("bench", 0, 0, 1024, 768, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        return;
    }
    system = Gfx::System::Create(reinterpret_cast<Gfx::NativeWindow*>(window));
    Gfx::PresentParams params;
    params.windowed = true;
    params.presentationInterval = presentationInterval;
    if (!system ||
        system->CreateDevice(Gfx::BehaviourHardwareVertexProcessing, params, device) != Gfx::kOk) {
        device.reset();
    }
}

OffscreenDevice::~OffscreenDevice() {
    device.reset();
    system.reset();
    if (window != nullptr) {
        SDL_DestroyWindow(window);
    }
}

} // namespace bench
