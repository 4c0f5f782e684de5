#pragma once

#include <memory>

namespace Gfx {
class Device;
class Sprite;
} // namespace Gfx

// The device and the sprite that the texture manager and the effects draw with. The owner of
// the device publishes them once it has created them and withdraws them before releasing
// them; tests publish a device of their own.
namespace GfxLink {

void Publish(std::shared_ptr<Gfx::Device> device, std::shared_ptr<Gfx::Sprite> sprite);
void Withdraw();
bool HasDevice();
// The published device or sprite; an `exception` when none is published.
Gfx::Device& Device();
Gfx::Sprite& Sprite();

} // namespace GfxLink
