#pragma once

#include "Effects/FullScreen.h"

#include <memory>

namespace Gfx {
class Texture;
class Surface;
} // namespace Gfx

namespace Effect {

// Shows the current video frame: a 640x480 dynamic texture whose surface the video decoder
// writes, drawn over the full screen. The texture is made when first asked for (and again
// after a device loss), so a game that plays no video holds none.
class Video : public FullScreen {
public:
    static constexpr unsigned kWidth = 640;
    static constexpr unsigned kHeight = 480;

    Video() : FullScreen("effect/video.fx") {}

    void OnLostDevice() override;
    void OnResetDevice() override;
    void SetParams() override;

    // Null until the surface is first asked for or the effect first runs.
    const std::shared_ptr<Gfx::Texture>& VideoTexture() const { return texture_; }
    // Makes the texture when there is none.
    const std::shared_ptr<Gfx::Surface>& VideoSurface();

private:
    void MakeTexture();

    std::shared_ptr<Gfx::Texture> texture_;
    std::shared_ptr<Gfx::Surface> surface_;
};

} // namespace Effect
