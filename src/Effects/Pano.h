#pragma once

#include "Effects/FullScreen.h"

#include <memory>
#include <string>

namespace Gfx {
class CubeTexture;
}

namespace Effect {

// Draws a panorama's cube map over the whole screen, seen through the device's view and
// projection and turned by the game's sky rotation.
class Pano : public FullScreen {
public:
    Pano() : FullScreen("effect/cubemap.fx") {}

    // Technique "Cubemap", "CubemapTex" = the cube map of that name, then the full-screen pass.
    void Apply(const std::string& name);
    // The same with the cube map in hand (none draws without one).
    void Apply(const std::shared_ptr<Gfx::CubeTexture>& cube);

    void SetParams() override;
};

} // namespace Effect
