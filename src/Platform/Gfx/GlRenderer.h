#pragma once

// Internal to the graphics layer: the drawing core shared by the device, effects, sprite and
// font. It keeps the device's persistent fixed-function state (with its documented defaults),
// the current render target, the streaming vertex buffers and the fixed-function program.

#include "Platform/Gfx/GlContext.h"
#include "Platform/Gfx/Math.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Texture.h"

#include <array>
#include <memory>
#include <string>

namespace Gfx::Internal {

// The state the device keeps between draws, frames and objects.
struct FixedState {
    FixedState();
    std::array<uint32_t, 256> render{};
    std::array<uint32_t, 8> sampler{};
    std::array<uint32_t, 8> stage{};
    std::shared_ptr<BaseTexture> texture;
    Matrix world, view, projection;
    uint32_t fvf = 0;

    uint32_t Render(RenderState s) const { return render[size_t(s)]; }
    uint32_t Sampler(SamplerState s) const { return sampler[size_t(s)]; }
    uint32_t Stage(StageState s) const { return stage[size_t(s)]; }
};

// Everything one fixed-function draw needs; built from FixedState or by the sprite and font.
struct DrawState {
    bool pretransformed = false;
    Matrix worldViewProjection;
    GLuint texture = 0;
    GLuint sampler = 0;
    uint32_t colorOp = OpModulate, colorArg1 = ArgTexture, colorArg2 = ArgCurrent;
    uint32_t alphaOp = OpSelectArg1, alphaArg1 = ArgTexture, alphaArg2 = ArgCurrent;
    bool blend = false;
    uint32_t srcBlend = BlendOne, destBlend = BlendZero;
    uint32_t cull = CullNone;
    bool alphaTest = false;
};

// The program of an open effect pass: draws inside the pass go through it.
class PassHook {
public:
    virtual ~PassHook() = default;
    // Makes the pass program current with its parameters and blend state.
    virtual void PrepareDraw() = 0;
};

class Renderer {
public:
    explicit Renderer(std::shared_ptr<GlContext> context);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Builds the programs and buffers; kErrNotAvailable with the log on failure.
    int Init(std::string& log);
    GlContext& Context() const { return *context_; }
    const std::shared_ptr<GlContext>& SharedContext() const { return context_; }
    bool OnUiThread() const { return context_->OnUiThread(); }

    // Render target 0 and its size; binding sets the viewport to the whole target.
    void SetTarget(std::shared_ptr<Surface> target);
    const std::shared_ptr<Surface>& Target() const { return target_; }
    uint32_t TargetWidth() const { return targetWidth_; }
    uint32_t TargetHeight() const { return targetHeight_; }
    void BindTarget();
    // Whether the window's framebuffer can be drawn into as a render target: its rows run
    // bottom up, so the clip origin is turned to the upper left while it is bound, which
    // gives the same pixels, edge rules included, as a render target's top-down rows.
    bool CanDrawToWindow() const { return clipControl_; }
    // Limits drawing to the rectangle of the current target (pixels, row 0 at the top).
    void Scissor(int left, int top, int right, int bottom) const;

    // Copies vertices (and 16-bit indices) into the streaming buffers and describes them by
    // the vertex format code. kErrInvalidCall for an unsupported code or a short stride.
    int Stream(uint32_t fvf, unsigned stride, const void* vertices, size_t vertexBytes,
               const uint16_t* indices = nullptr, size_t indexCount = 0);
    static int VertexSize(uint32_t fvf, unsigned& size);

    // Draws what Stream copied with the fixed-function program.
    void DrawFixed(const DrawState& state, GLenum mode, GLsizei count, bool indexed);
    // Draws `count` vertices from `first` of what Stream copied, fixed-function program.
    void DrawFixedRange(const DrawState& state, GLenum mode, GLint first, GLsizei count);
    // Draws what Stream copied with the program already prepared (an effect pass).
    void DrawCurrent(GLenum mode, GLsizei count, bool indexed, GLint first = 0);
    void ApplyBlend(bool enable, uint32_t src, uint32_t dest);

    // The fixed-function draw state from the persistent state (the rule for a stage argument
    // naming a texture while none is bound included).
    DrawState FixedDrawState();
    // Sampler objects: stage 0 from the persistent state; clamp + linear for sprite and font.
    GLuint FixedSampler();
    GLuint LinearClampSampler() const { return linearClamp_; }
    // Screen-space quads of the sprite and the font: texture times vertex colour, linear
    // clamped sampling, texels of alpha 0 skipped, optional straight-alpha blending.
    DrawState ModulatedScreenState(bool blend) const;

    FixedState state;
    PassHook* activePass = nullptr;
    bool spriteOpen = false;

private:
    void UseFixed(const DrawState& state);

    std::shared_ptr<GlContext> context_;
    std::shared_ptr<Surface> target_;
    uint32_t targetWidth_ = 0, targetHeight_ = 0;
    bool targetIsWindow_ = false;
    bool clipControl_ = false;
    bool upperLeft_ = false;
    GLuint vao_ = 0, vbo_ = 0, ibo_ = 0;
    GLuint program_ = 0;
    GLint uTargetSize_ = -1, uWvp_ = -1, uPretransformed_ = -1, uHasTexture_ = -1, uColorOps_ = -1,
          uAlphaOps_ = -1, uAlphaTest_ = -1;
    GLuint fixedSampler_ = 0, linearClamp_ = 0;
};

GLenum BlendFactor(uint32_t blend);

} // namespace Gfx::Internal
