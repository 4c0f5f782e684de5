#include "support/Devices.h"

#include "Game/Exception.h"
#include "Game/Opts.h"

#include <cstdlib>

namespace test {

std::unique_ptr<ScopedGlobal<DirectX>> OpenDevices(std::string& error) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    opts().windowed_ = true;
    try {
        return std::make_unique<ScopedGlobal<DirectX>>(g_dx);
    } catch (const exception& e) {
        error = e.what();
        return nullptr;
    }
}

} // namespace test
