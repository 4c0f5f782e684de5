#pragma once

#include <memory>

namespace Gfx {
class Device;
class Sprite;
class Font;
} // namespace Gfx

// The one route by which the game's code reaches the device, the sprite and the font it draws
// with: the frame, the cursor, the inventory, the texture manager, the effects and the scenes.
// The DirectX object creates and owns them, publishes them here once it has created them and
// withdraws them before releasing them; tests and benchmarks publish devices of their own.
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
