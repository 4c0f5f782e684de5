#pragma once

#include "Effects/FullScreen.h"

#include <memory>

namespace Gfx {
class Texture;
class Surface;
} // namespace Gfx

namespace Effect {

// A two-pass image filter over two render-target textures of the render target's size: pass 0
// filters the source into target A, pass 1 filters A into target B, the result. The targets
// are made at a device reset and kept until the next loss, so a frame allocates nothing.
class PingPong : public FullScreen {
public:
    explicit PingPong(const std::string& path);

    // The picture to filter; the same texture again changes nothing.
    void SetSource(const std::shared_ptr<Gfx::Texture>& texture);

    void OnLostDevice() override;
    void OnResetDevice() override;
    void PrePass(unsigned pass) override;

    const std::shared_ptr<Gfx::Texture>& Source() const { return source_; }
    const std::shared_ptr<Gfx::Texture>& TargetA() const { return targetA_; }
    const std::shared_ptr<Gfx::Texture>& TargetB() const { return targetB_; }

private:
    std::shared_ptr<Gfx::Texture> source_;
    std::shared_ptr<Gfx::Texture> targetA_;
    std::shared_ptr<Gfx::Texture> targetB_;
};

// Softens the screen picture for the film look.
class Blur : public PingPong {
public:
    Blur() : PingPong("effect/blur.fx") {}
};

// Glow of bright parts; the panorama state draws its sky into target B's surface.
class Bloom : public PingPong {
public:
    Bloom() : PingPong("effect/bloom.fx") {}

    void OnLostDevice() override;
    void OnResetDevice() override;

    // Level 0 of target B.
    const std::shared_ptr<Gfx::Surface>& TargetSurface() const { return surface_; }

    // Cleared by the frame pipeline each frame, set by the panorama state once it has drawn
    // into the target surface.
    bool drawn_ = false;

private:
    std::shared_ptr<Gfx::Surface> surface_;
};

} // namespace Effect
