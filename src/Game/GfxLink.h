#pragma once

#include <memory>

namespace Gfx {
class Device;
class Sprite;
class Font;
} // namespace Gfx

// The device, the sprite and the font that the texture manager, the effects and the scenes
// draw with. The owner of the device publishes them once it has created them and withdraws
// them before releasing them; tests publish a device of their own.
namespace GfxLink {

void Publish(std::shared_ptr<Gfx::Device> device, std::shared_ptr<Gfx::Sprite> sprite,
             std::shared_ptr<Gfx::Font> font = nullptr);
void Withdraw();
bool HasDevice();
// The published device, sprite or font; an `exception` when none is published.
Gfx::Device& Device();
Gfx::Sprite& Sprite();
Gfx::Font& Font();

} // namespace GfxLink
