#pragma once

#include "Effects/FullScreen.h"

#include <memory>

namespace Gfx {
class Texture;
class Surface;
} // namespace Gfx

namespace Effect {

// A two-pass image filter over two render-target textures of the size render target 0 has at
// a device reset: pass 0 filters the source into target A, pass 1 filters A into target B, the
// result. The targets are made when the passes first run (or target B is first asked for) and
// kept until the next loss, so a steady frame allocates nothing and a filter that never runs
// holds no memory.
class PingPong : public FullScreen {
public:
    explicit PingPong(const std::string& path);

    // The picture to filter; the same texture again changes nothing.
    void SetSource(const std::shared_ptr<Gfx::Texture>& texture);

    void OnLostDevice() override;
    void OnResetDevice() override;
    void PrePass(unsigned pass) override;

    const std::shared_ptr<Gfx::Texture>& Source() const { return source_; }
    // Null until the targets are made.
    const std::shared_ptr<Gfx::Texture>& TargetA() const { return targetA_; }
    const std::shared_ptr<Gfx::Texture>& TargetB() const { return targetB_; }

protected:
    // Both targets, unless they exist (or no reset gave them a size yet).
    void MakeTargets();

private:
    std::shared_ptr<Gfx::Texture> source_;
    std::shared_ptr<Gfx::Texture> targetA_;
    std::shared_ptr<Gfx::Texture> targetB_;
    unsigned width_ = 0, height_ = 0;
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

    // Level 0 of target B; makes the targets when they do not exist yet.
    const std::shared_ptr<Gfx::Surface>& TargetSurface();

    // Whether a stage of the frame samples target B. None does: the frame pipeline never
    // runs the bloom passes, so the panorama leaves out drawing its bloom sky, whose pixels
    // nobody would see, and the targets are never made.
    bool Sampled() const { return sampled_; }
    void SetSampled(bool sampled) { sampled_ = sampled; }

    // Cleared by the frame pipeline each frame, set by the panorama state once it has drawn
    // into the target surface.
    bool drawn_ = false;

private:
    std::shared_ptr<Gfx::Surface> surface_;
    bool sampled_ = false;
};

} // namespace Effect
