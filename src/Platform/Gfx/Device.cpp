#include "Platform/Gfx/Device.h"

#include "Game/Exception.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Font.h"
#include "Platform/Gfx/GlRenderer.h"
#include "Platform/Gfx/GlTexture.h"
#include "Platform/Gfx/PngFile.h"
#include "Platform/Gfx/Sprite.h"
#include "Platform/Session/Session.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <thread>

namespace Gfx {

namespace {

// Upper bound of one draw from user memory: far above any draw of the game.
constexpr unsigned kMaxPrimitives = 1u << 20;

bool InRange(uint32_t value, uint32_t low, uint32_t high) {
    return value >= low && value <= high;
}

bool ValidRenderState(RenderState state, uint32_t value) {
    switch (state) {
    case RenderState::ZEnable:
    case RenderState::ZWriteEnable:
    case RenderState::AlphaBlendEnable:
    case RenderState::Lighting:
        return value <= 1;
    case RenderState::SrcBlend:
    case RenderState::DestBlend:
        return InRange(value, BlendZero, BlendInvDestColor);
    case RenderState::CullMode:
        return InRange(value, CullNone, CullCcw);
    }
    return false;
}

bool ValidSamplerState(SamplerState state, uint32_t value) {
    switch (state) {
    case SamplerState::AddressU:
    case SamplerState::AddressV:
    case SamplerState::AddressW:
        return InRange(value, AddressWrap, AddressClamp);
    case SamplerState::MagFilter:
    case SamplerState::MinFilter:
    case SamplerState::MipFilter:
        return value <= FilterLinear;
    }
    return false;
}

bool ValidStageState(StageState state, uint32_t value) {
    switch (state) {
    case StageState::ColorOp:
    case StageState::AlphaOp:
        return InRange(value, OpDisable, OpModulate);
    case StageState::ColorArg1:
    case StageState::ColorArg2:
    case StageState::AlphaArg1:
    case StageState::AlphaArg2:
        return value <= ArgTexture;
    }
    return false;
}

// The GL primitive and vertex count of a draw; false for an unsupported type.
bool PrimitiveShape(Primitive type, unsigned count, GLenum& mode, GLsizei& vertices) {
    switch (type) {
    case Primitive::LineList:
        mode = GL_LINES;
        vertices = GLsizei(count * 2);
        return true;
    case Primitive::TriangleList:
        mode = GL_TRIANGLES;
        vertices = GLsizei(count * 3);
        return true;
    case Primitive::TriangleStrip:
        mode = GL_TRIANGLE_STRIP;
        vertices = GLsizei(count + 2);
        return true;
    case Primitive::TriangleFan:
        mode = GL_TRIANGLE_FAN;
        vertices = GLsizei(count + 2);
        return true;
    }
    return false;
}

// A surface that can be drawn into: a render target, or the back buffer in the window.
bool IsTarget(const Surface& surface) {
    const Internal::TextureData& data = surface.GetTexture()->Data();
    return data.framebuffer != 0 || data.window;
}

Matrix* TransformSlot(Internal::FixedState& state, TransformKind kind) {
    switch (kind) {
    case TransformKind::World:
        return &state.world;
    case TransformKind::View:
        return &state.view;
    case TransformKind::Projection:
        return &state.projection;
    }
    return nullptr;
}

// Writes the back buffer to every file the session names for the frame being presented.
int Capture(Device& device, const Surface& backBuffer, const Session::Session& session) {
    for (const std::filesystem::path& file : session.CapturesOf(session.Presented() + 1)) {
        std::vector<uint32_t> argb;
        if (int r = device.ReadRenderTarget(backBuffer, argb); r != kOk) {
            return r;
        }
        SurfaceDesc desc;
        backBuffer.GetDesc(desc);
        if (!WritePng(file.string(), desc.width, desc.height, argb)) {
            throw exception("Cannot write the captured frame '" + file.string() + "'");
        }
    }
    return kOk;
}

} // namespace

Device::Device(std::shared_ptr<Internal::Renderer> renderer, uint32_t behaviour,
               const PresentParams& params, std::shared_ptr<Texture> backBuffer)
    : renderer_(std::move(renderer)), behaviour_(behaviour), params_(params),
      backBufferTexture_(std::move(backBuffer)) {
    backBufferTexture_->GetSurfaceLevel(0, backBuffer_);
    renderer_->SetTarget(backBuffer_);
    FollowWindow();
}

Device::~Device() {
    renderer_->state.texture.reset();
    backBuffer_.reset();
    backBufferTexture_.reset();
    renderer_->Context().Drain();
}

bool Device::OnUiThread() const {
    return renderer_->OnUiThread();
}

int Device::TestCooperativeLevel() {
    if (lostFrames_ > 0) {
        --lostFrames_;
        if (lostFrames_ == 0) {
            notReset_ = true;
        }
        return kErrDeviceLost;
    }
    if (notReset_) {
        notReset_ = false;
        return kErrDeviceNotReset;
    }
    return kOk;
}

int Device::Reset(const PresentParams& params) {
    if (!OnUiThread()) {
        return kErrInvalidCall;
    }
    if (params.backBufferWidth != params_.backBufferWidth ||
        params.backBufferHeight != params_.backBufferHeight) {
        std::shared_ptr<Texture> texture;
        if (int r =
                Internal::MakeTargetTexture(renderer_->SharedContext(), params.backBufferWidth,
                                            params.backBufferHeight, UsageRenderTarget, texture);
            r != kOk) {
            return r;
        }
        const bool current = renderer_->Target() == backBuffer_;
        backBufferTexture_ = texture;
        backBufferTexture_->GetSurfaceLevel(0, backBuffer_);
        if (current) {
            renderer_->SetTarget(backBuffer_);
        }
        FollowWindow();
    }
    params_ = params;
    // Without vertical-blank support (headless drivers) the swap does not wait: Present then
    // keeps to the refresh itself.
    SDL_GL_SetSwapInterval(params_.presentationInterval != 0 ? 1 : 0);
    return kOk;
}

int Device::BeginScene() {
    if (!OnUiThread() || inScene_) {
        return kErrInvalidCall;
    }
    renderer_->Context().Drain();
    FollowWindow();
    inScene_ = true;
    return kOk;
}

void Device::FollowWindow() {
    Internal::TextureData& data = backBufferTexture_->Data();
    int drawableW = 0, drawableH = 0;
    SDL_GL_GetDrawableSize(renderer_->Context().Window(), &drawableW, &drawableH);
    const bool direct = renderer_->CanDrawToWindow() && drawableW == int(data.desc.width) &&
                        drawableH == int(data.desc.height);
    if (direct == data.window) {
        return;
    }
    // The names move between the back buffer and a texture object that releases them (into
    // the recycler) or that brought them new.
    std::shared_ptr<Texture> other;
    if (direct) {
        other = std::make_shared<Texture>(std::make_unique<Internal::TextureData>(data));
        data.texture = data.framebuffer = 0;
        data.recyclable = false;
        // Opaque black to begin with, as every new target.
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    } else if (Internal::MakeTargetTexture(renderer_->SharedContext(), data.desc.width,
                                           data.desc.height, UsageRenderTarget, other) == kOk) {
        std::swap(data.texture, other->Data().texture);
        std::swap(data.framebuffer, other->Data().framebuffer);
        std::swap(data.recyclable, other->Data().recyclable);
    } else {
        // Without a texture the frame stays in the window, drawn at its own size.
        return;
    }
    data.window = direct;
    if (renderer_->Target() && &renderer_->Target()->GetTexture()->Data() == &data) {
        renderer_->BindTarget();
    }
}

int Device::EndScene() {
    if (!OnUiThread() || !inScene_) {
        return kErrInvalidCall;
    }
    inScene_ = false;
    return kOk;
}

int Device::Clear(uint32_t argb) {
    if (!OnUiThread()) {
        return kErrInvalidCall;
    }
    renderer_->BindTarget();
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f,
                 float(argb & 0xFF) / 255.0f, float(argb >> 24) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return kOk;
}

int Device::Present() {
    if (!OnUiThread()) {
        return kErrInvalidCall;
    }
    Session::Session* session = Session::Session::Active();
    if (session != nullptr) {
        if (int r = Capture(*this, *backBuffer_, *session); r != kOk) {
            return r;
        }
    }
    SDL_Window* window = renderer_->Context().Window();
    // A frame drawn straight into the window needs no copy.
    if (!backBufferTexture_->Data().window) {
        CopyToWindow();
    }
    // The frame is drawn now, whatever the swap does (a headless driver's does nothing).
    glFlush();
    SDL_GL_SwapWindow(window);
    // A fixed-step session runs as fast as it can: its clock does not follow the wall.
    if (session == nullptr || !session->FixedStep()) {
        Pace();
    }
    renderer_->Context().Drain();
    renderer_->BindTarget();
    if (session != nullptr) {
        session->FramePresented();
    }
    return kOk;
}

void Device::Pace() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point now = Clock::now();
    if (params_.presentationInterval == 0 || !pacing_) {
        nextPresent_ = now;
        return;
    }
    // The refresh of the display the window is on, 60 Hz where the driver names none.
    SDL_DisplayMode mode{};
    const int display = std::max(SDL_GetWindowDisplayIndex(renderer_->Context().Window()), 0);
    const int hz = SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0
                       ? mode.refresh_rate
                       : 60;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / hz;
    if (now < nextPresent_) {
        // The swap did not wait for the display: wait out the rest of the refresh, and keep
        // the cadence (an oversleep is not carried into the next frame).
        std::this_thread::sleep_until(nextPresent_);
        nextPresent_ += period;
    } else {
        // A swap that waited (or a slow frame) sets the cadence afresh.
        nextPresent_ = now + period;
    }
}

void Device::CopyToWindow() {
    int drawableW = 0, drawableH = 0;
    SDL_GL_GetDrawableSize(renderer_->Context().Window(), &drawableW, &drawableH);
    SurfaceDesc desc;
    backBuffer_->GetDesc(desc);
    const int w = int(desc.width), h = int(desc.height);
    // Fit the frame into the window with its aspect kept (letterbox or pillarbox).
    const double scale = std::min(double(drawableW) / w, double(drawableH) / h);
    const int outW = int(std::lround(w * scale)), outH = int(std::lround(h * scale));
    const int x0 = (drawableW - outW) / 2, y0 = (drawableH - outH) / 2;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    if (outW != drawableW || outH != drawableH) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backBufferTexture_->Data().framebuffer);
    // Framebuffer row 0 is the top of the frame; the window's row 0 is its bottom.
    glBlitFramebuffer(0, 0, w, h, x0, y0 + outH, x0 + outW, y0, GL_COLOR_BUFFER_BIT,
                      outW == w && outH == h ? GL_NEAREST : GL_LINEAR);
}

int Device::EvictManagedResources() {
    return kOk;
}

int Device::GetRenderTarget(unsigned index, std::shared_ptr<Surface>& out) {
    if (index != 0) {
        return kErrInvalidCall;
    }
    out = renderer_->Target();
    return kOk;
}

int Device::SetRenderTarget(unsigned index, const std::shared_ptr<Surface>& surface) {
    if (!OnUiThread() || index != 0 || !surface || !IsTarget(*surface)) {
        return kErrInvalidCall;
    }
    renderer_->SetTarget(surface);
    return kOk;
}

std::shared_ptr<Surface> Device::BackBuffer() const {
    return backBuffer_;
}

int Device::StretchRect(const Surface& source, const Surface& dest) {
    SurfaceDesc from, to;
    source.GetDesc(from);
    dest.GetDesc(to);
    if (!OnUiThread() || !IsTarget(source) || !IsTarget(dest) || from.width != to.width ||
        from.height != to.height) {
        return kErrInvalidCall;
    }
    const Internal::TextureData& src = source.GetTexture()->Data();
    const Internal::TextureData& dst = dest.GetTexture()->Data();
    const auto w = GLint(from.width), h = GLint(from.height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, src.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, dst.framebuffer);
    glDisable(GL_SCISSOR_TEST);
    // Rows run top down in a render target and bottom up in the window.
    const bool flip = src.window != dst.window;
    glBlitFramebuffer(0, 0, w, h, 0, flip ? h : 0, w, flip ? 0 : h, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    renderer_->BindTarget();
    return kOk;
}

int Device::SetRenderState(RenderState state, uint32_t value) {
    if (size_t(state) >= renderer_->state.render.size() || !ValidRenderState(state, value)) {
        return kErrInvalidCall;
    }
    renderer_->state.render[size_t(state)] = value;
    return kOk;
}

int Device::GetRenderState(RenderState state, uint32_t& value) const {
    if (!ValidRenderState(state, 0) && !ValidRenderState(state, 1)) {
        return kErrInvalidCall;
    }
    value = renderer_->state.Render(state);
    return kOk;
}

int Device::SetSamplerState(unsigned stage, SamplerState state, uint32_t value) {
    if (stage != 0 || !ValidSamplerState(state, value)) {
        return kErrInvalidCall;
    }
    renderer_->state.sampler[size_t(state)] = value;
    return kOk;
}

int Device::SetTextureStageState(unsigned stage, StageState state, uint32_t value) {
    if (stage != 0 || !ValidStageState(state, value)) {
        return kErrInvalidCall;
    }
    renderer_->state.stage[size_t(state)] = value;
    return kOk;
}

int Device::SetTexture(unsigned stage, const std::shared_ptr<BaseTexture>& texture) {
    if (stage != 0 || !OnUiThread()) {
        return kErrInvalidCall;
    }
    if (texture && texture->Data().Prepare() == 0) {
        return kErrOutOfVideoMemory;
    }
    renderer_->state.texture = texture;
    return kOk;
}

int Device::SetTransform(TransformKind kind, const Matrix& matrix) {
    Matrix* slot = TransformSlot(renderer_->state, kind);
    if (slot == nullptr) {
        return kErrInvalidCall;
    }
    *slot = matrix;
    return kOk;
}

int Device::GetTransform(TransformKind kind, Matrix& out) const {
    const Matrix* slot = TransformSlot(renderer_->state, kind);
    if (slot == nullptr) {
        return kErrInvalidCall;
    }
    out = *slot;
    return kOk;
}

int Device::SetFvf(uint32_t fvf) {
    unsigned size = 0;
    if (int r = Internal::Renderer::VertexSize(fvf, size); r != kOk) {
        return r;
    }
    renderer_->state.fvf = fvf;
    return kOk;
}

void Device::Submit(unsigned mode, int count, bool indexed) {
    if (renderer_->activePass != nullptr) {
        renderer_->activePass->PrepareDraw();
        renderer_->DrawCurrent(mode, count, indexed);
    } else {
        renderer_->DrawFixed(renderer_->FixedDrawState(), mode, count, indexed);
    }
}

int Device::DrawPrimitiveUp(Primitive type, unsigned primitiveCount, const void* vertices,
                            unsigned stride) {
    GLenum mode = 0;
    GLsizei count = 0;
    if (!OnUiThread() || !PrimitiveShape(type, 1, mode, count) || primitiveCount > kMaxPrimitives) {
        return kErrInvalidCall;
    }
    if (primitiveCount == 0) {
        return kOk;
    }
    PrimitiveShape(type, primitiveCount, mode, count);
    if (int r = renderer_->Stream(renderer_->state.fvf, stride, vertices, size_t(count) * stride);
        r != kOk) {
        return r;
    }
    Submit(mode, count, false);
    return kOk;
}

int Device::DrawIndexedPrimitiveUp(Primitive type, unsigned minIndex, unsigned numVertices,
                                   unsigned primitiveCount, const uint16_t* indices,
                                   const void* vertices, unsigned stride) {
    GLenum mode = 0;
    GLsizei count = 0;
    if (!OnUiThread() || !PrimitiveShape(type, 1, mode, count) || primitiveCount > kMaxPrimitives ||
        numVertices > 65536 || minIndex + numVertices > 65536) {
        return kErrInvalidCall;
    }
    if (primitiveCount == 0) {
        return kOk;
    }
    PrimitiveShape(type, primitiveCount, mode, count);
    if (indices == nullptr) {
        return kErrInvalidCall;
    }
    // Every index must name a vertex the caller provided.
    for (GLsizei i = 0; i < count; ++i) {
        if (indices[i] < minIndex || indices[i] >= minIndex + numVertices) {
            return kErrInvalidCall;
        }
    }
    if (int r = renderer_->Stream(renderer_->state.fvf, stride, vertices,
                                  size_t(minIndex + numVertices) * stride, indices, size_t(count));
        r != kOk) {
        return r;
    }
    Submit(mode, count, true);
    return kOk;
}

namespace {

// Decodes a file that must hold `faces` faces (1: a 2-D image, 6: a cube map); DXT blocks are
// kept when the context samples them.
int DecodeFaces(const Internal::GlContext& context, const void* data, size_t size, unsigned faces,
                Image& image) {
    if (int r = DecodeImage(data, size, image, context.KeepsDxtBlocks()); r != kOk) {
        return r;
    }
    return image.faces == faces ? kOk : kErrInvalidData;
}

} // namespace

int Device::CreateTextureFromFileInMemory(const void* data, size_t size,
                                          std::shared_ptr<Texture>& out,
                                          const SampledRows& sampled) {
    Image image;
    const int r = DecodeFaces(renderer_->Context(), data, size, 1, image);
    if (r == kOk) {
        out = Internal::MakeFileTexture(renderer_->SharedContext(), std::move(image), sampled);
    }
    return r;
}

int Device::CreateCubeTextureFromFileInMemory(const void* data, size_t size,
                                              std::shared_ptr<CubeTexture>& out) {
    Image image;
    const int r = DecodeFaces(renderer_->Context(), data, size, 6, image);
    if (r == kOk) {
        out = Internal::MakeCubeTexture(renderer_->SharedContext(), std::move(image));
    }
    return r;
}

int Device::CreateTexture(unsigned width, unsigned height, unsigned levels, uint32_t usage,
                          Format format, Pool pool, std::shared_ptr<Texture>& out) {
    if (levels > 1 || format != Format::X8R8G8B8 || pool != Pool::Default ||
        (usage != UsageRenderTarget && usage != UsageDynamic)) {
        return kErrInvalidCall;
    }
    renderer_->Context().Drain();
    return Internal::MakeTargetTexture(renderer_->SharedContext(), width, height, usage, out);
}

int Device::CreateEffect(const void* data, size_t size, std::shared_ptr<Effect>& out,
                         std::string* errors) {
    if (!OnUiThread()) {
        return kErrInvalidCall;
    }
    return Effect::Create(renderer_, data, size, out, errors);
}

int Device::CreateSprite(std::shared_ptr<Sprite>& out) {
    if (!OnUiThread()) {
        return kErrInvalidCall;
    }
    out = std::make_shared<Sprite>(renderer_);
    return kOk;
}

int Device::CreateFont(const FontDesc& desc, std::shared_ptr<Font>& out) {
    if (!OnUiThread()) {
        return kErrInvalidCall;
    }
    return Font::Create(renderer_, desc, out);
}

void Device::SimulateLoss(Loss loss, unsigned frames) {
    lostFrames_ = loss == Loss::LostFrames ? std::max(frames, 1u) : 0;
    notReset_ = loss == Loss::NotResetOnce;
}

int Device::ReadRenderTarget(const Surface& surface, std::vector<uint32_t>& argb) {
    if (!OnUiThread() || !IsTarget(surface)) {
        return kErrInvalidCall;
    }
    const Internal::TextureData& data = surface.GetTexture()->Data();
    SurfaceDesc desc;
    surface.GetDesc(desc);
    argb.assign(size_t(desc.width) * desc.height, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, data.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, GLsizei(desc.width), GLsizei(desc.height), GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, argb.data());
    // The window's rows run bottom up.
    if (data.window) {
        for (size_t top = 0, bottom = desc.height - 1; top < bottom; ++top, --bottom) {
            std::swap_ranges(argb.begin() + ptrdiff_t(top * desc.width),
                             argb.begin() + ptrdiff_t((top + 1) * desc.width),
                             argb.begin() + ptrdiff_t(bottom * desc.width));
        }
    }
    // X8R8G8B8 targets: the stored alpha is not part of the format.
    for (uint32_t& texel : argb) {
        texel |= 0xFF000000u;
    }
    renderer_->BindTarget();
    return kOk;
}

} // namespace Gfx
