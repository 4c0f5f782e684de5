#pragma once

#include "Effects/FullScreen.h"

namespace Effect {

// Draws a panorama's cube map over the whole screen, seen through the device's view and
// projection and turned by the game's sky rotation.
class Pano : public FullScreen {
public:
    Pano() : FullScreen("effect/cubemap.fx") {}

    // Technique "Cubemap", "CubemapTex" = the cube map of that name, then the full-screen pass.
    void Apply(const std::string& name);

    void SetParams() override;
};

} // namespace Effect
