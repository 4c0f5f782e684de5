#include "Game/GfxLink.h"

#include "Game/Check.h"

#include <utility>

namespace GfxLink {
namespace {

// Published and withdrawn on the user-interface thread before and after any use.
std::shared_ptr<Gfx::Device> g_device;
std::shared_ptr<Gfx::Sprite> g_sprite;

} // namespace

void Publish(std::shared_ptr<Gfx::Device> device, std::shared_ptr<Gfx::Sprite> sprite) {
    g_device = std::move(device);
    g_sprite = std::move(sprite);
}

void Withdraw() {
    g_sprite.reset();
    g_device.reset();
}

bool HasDevice() {
    return g_device != nullptr;
}

Gfx::Device& Device() {
    Assert(g_device != nullptr, ".\\Game\\GfxLink", "dx().device()");
    return *g_device;
}

Gfx::Sprite& Sprite() {
    Assert(g_sprite != nullptr, ".\\Game\\GfxLink", "dx().sprite()");
    return *g_sprite;
}

} // namespace GfxLink
