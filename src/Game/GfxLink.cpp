#include "Game/GfxLink.h"

#include "Game/Check.h"

#include <utility>

namespace GfxLink {
namespace {

// Published and withdrawn on the user-interface thread before and after any use.
std::shared_ptr<Gfx::Device> g_device;
std::shared_ptr<Gfx::Sprite> g_sprite;
std::shared_ptr<Gfx::Font> g_font;

} // namespace

void Publish(std::shared_ptr<Gfx::Device> device, std::shared_ptr<Gfx::Sprite> sprite,
             std::shared_ptr<Gfx::Font> font) {
    g_device = std::move(device);
    g_sprite = std::move(sprite);
    g_font = std::move(font);
}

void Withdraw() {
    g_font.reset();
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

Gfx::Font& Font() {
    Assert(g_font != nullptr, ".\\Game\\GfxLink", "dx().font()");
    return *g_font;
}

} // namespace GfxLink
