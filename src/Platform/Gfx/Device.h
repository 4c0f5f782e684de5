#pragma once

#include "Platform/Gfx/Math.h"
#include "Platform/Gfx/Types.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Gfx {

class BaseTexture;
class Texture;
class CubeTexture;
class Surface;
class Effect;
class Sprite;
class Font;
namespace Internal {
class Renderer;
class GlContext;
} // namespace Internal

// The drawing device: frame, render targets, the persistent fixed-function state (render,
// sampler, texture-stage and transform state, starting at the documented defaults) and drawing
// from user memory. User-interface thread only, except where noted; a call from another thread
// answers kErrInvalidCall.
class Device {
public:
    Device(std::shared_ptr<Internal::Renderer> renderer, uint32_t behaviour,
           const PresentParams& params, std::shared_ptr<Texture> backBuffer);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Frame.
    int TestCooperativeLevel(); // kOk, or a simulated kErrDeviceLost / kErrDeviceNotReset
    int Reset(const PresentParams& params);
    int BeginScene();
    int EndScene();
    // Fills the current render target with a 0xAARRGGBB colour.
    int Clear(uint32_t argb);
    // Shows the back buffer in the window, scaled to fit with its aspect kept. While the
    // window's drawable is exactly the back buffer's size the frame is drawn straight into the
    // window and nothing is copied (the choice is made again at each BeginScene). In a
    // scripted session (see Platform/Session) the back buffer, at its own size whatever the
    // window's, is first written to the files the script names for this frame, and each
    // present advances the session's frame count (and with it a fixed-step clock).
    int Present();
    // Any thread; nothing to evict.
    int EvictManagedResources();

    // Render targets (index 0 only). Setting one sets the viewport to its whole size.
    int GetRenderTarget(unsigned index, std::shared_ptr<Surface>& out);
    int SetRenderTarget(unsigned index, const std::shared_ptr<Surface>& surface);
    std::shared_ptr<Surface> BackBuffer() const;
    // Copies one render target (or the back buffer) into another of the same size, texel for
    // texel. kErrInvalidCall for surfaces that are no targets or differ in size.
    int StretchRect(const Surface& source, const Surface& dest);

    // Persistent state. Values outside the supported set answer kErrInvalidCall.
    // LIGHTING is kept but not emulated: every lit draw of the game turns it off first.
    int SetRenderState(RenderState state, uint32_t value);
    int GetRenderState(RenderState state, uint32_t& value) const;
    int SetSamplerState(unsigned stage, SamplerState state, uint32_t value);
    int SetTextureStageState(unsigned stage, StageState state, uint32_t value);
    // Null clears the stage. Uploads a file texture's pixels the first time it is set.
    int SetTexture(unsigned stage, const std::shared_ptr<BaseTexture>& texture);
    int SetTransform(TransformKind kind, const Matrix& matrix);
    int GetTransform(TransformKind kind, Matrix& out) const;
    int SetFvf(uint32_t fvf);

    // Drawing from user memory, described by the vertex format set with SetFvf. Inside an
    // effect pass the pass program draws; otherwise the fixed-function state. A primitive
    // count of 0 draws nothing and answers kOk.
    int DrawPrimitiveUp(Primitive type, unsigned primitiveCount, const void* vertices,
                        unsigned stride);
    int DrawIndexedPrimitiveUp(Primitive type, unsigned minIndex, unsigned numVertices,
                               unsigned primitiveCount, const uint16_t* indices,
                               const void* vertices, unsigned stride);

    // Resources. The two file calls are CPU work, safe on any thread: the pixels are uploaded
    // when the texture is first set or drawn, or by its PreLoad. Undecodable data answers
    // kErrInvalidData. `sampled` may leave out rows of a 2-D picture that are never sampled.
    int CreateTextureFromFileInMemory(const void* data, size_t size, std::shared_ptr<Texture>& out,
                                      const SampledRows& sampled = {});
    int CreateCubeTextureFromFileInMemory(const void* data, size_t size,
                                          std::shared_ptr<CubeTexture>& out);
    // Render targets (UsageRenderTarget) and dynamic textures (UsageDynamic) of one level in
    // X8R8G8B8, cleared to opaque black.
    int CreateTexture(unsigned width, unsigned height, unsigned levels, uint32_t usage,
                      Format format, Pool pool, std::shared_ptr<Texture>& out);
    // Effect text (see Effect.h); `errors` receives the parser's or compiler's message.
    int CreateEffect(const void* data, size_t size, std::shared_ptr<Effect>& out,
                     std::string* errors = nullptr);
    int CreateSprite(std::shared_ptr<Sprite>& out);
    int CreateFont(const FontDesc& desc, std::shared_ptr<Font>& out);

    uint32_t BehaviourFlags() const { return behaviour_; }

    // Test hooks. SimulateLoss(LostFrames, n): the next n tests answer kErrDeviceLost, the one
    // after kErrDeviceNotReset, then kOk again. NotResetOnce: one kErrDeviceNotReset.
    enum class Loss { None, LostFrames, NotResetOnce };
    void SimulateLoss(Loss loss, unsigned frames = 1);
    // Presents with an interval of one keep to the display's refresh rate even where the
    // swap does not wait for it (offscreen, virtual displays, vertical sync turned off by the
    // driver): a present that comes sooner than one refresh after the last one waits out the
    // rest, unless a fixed-step session drives the clock. Off, presents never wait.
    void SetPacing(bool on) { pacing_ = on; }
    // The texels of a render target or the back buffer as 0xAARRGGBB, top row first.
    int ReadRenderTarget(const Surface& surface, std::vector<uint32_t>& argb);

private:
    bool OnUiThread() const;
    // Makes the back buffer the window's own framebuffer when the drawable has its size, a
    // render target otherwise.
    void FollowWindow();
    // The back buffer's render target into the window, scaled to fit.
    void CopyToWindow();
    // After a swap: waits when it came back sooner than one refresh after the last.
    void Pace();
    // Draws the streamed vertices with the open effect pass, or the fixed-function state.
    void Submit(unsigned mode, int count, bool indexed);

    std::shared_ptr<Internal::Renderer> renderer_;
    uint32_t behaviour_;
    PresentParams params_;
    std::shared_ptr<Texture> backBufferTexture_;
    std::shared_ptr<Surface> backBuffer_;
    bool inScene_ = false;
    unsigned lostFrames_ = 0;
    bool notReset_ = false;
    bool pacing_ = true;
    std::chrono::steady_clock::time_point nextPresent_;
};

} // namespace Gfx
