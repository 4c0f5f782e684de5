#pragma once

#include "Game/DirectX.h"
#include "Game/Startup.h"

#include <memory>
#include <string>

namespace test {

// The devices made as the start-up routine makes them, in a window, on SDL's offscreen video
// and dummy audio drivers (unless the environment names others), published as dx(). Null,
// with the reason in `error`, when the machine has none. The settings record must exist.
std::unique_ptr<ScopedGlobal<DirectX>> OpenDevices(std::string& error);

} // namespace test
