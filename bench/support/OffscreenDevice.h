#pragma once

#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/System.h"

#include <SDL.h>
#include <cstdint>
#include <memory>

namespace bench {

// A hidden 1024x768 OpenGL window (on SDL's offscreen driver unless SDL_VIDEODRIVER names
// another) with the graphics system and a windowed device; `device` stays null when any step
// fails, and the benchmarks then skip.
struct OffscreenDevice {
    explicit OffscreenDevice(uint32_t presentationInterval = 1);
    ~OffscreenDevice();
    OffscreenDevice(const OffscreenDevice&) = delete;
    OffscreenDevice& operator=(const OffscreenDevice&) = delete;

    SDL_Window* window = nullptr;
    std::unique_ptr<Gfx::System> system;
    std::shared_ptr<Gfx::Device> device;
};

} // namespace bench
