#include "Platform/Gfx/GlRenderer.h"

#include "Platform/Gfx/GlProgram.h"
#include "Platform/Gfx/GlTexture.h"

#include <algorithm>

namespace Gfx::Internal {

namespace {

const char* const kFixedVertex = R"(#version 330 core
layout(location = 0) in vec4 gfx_Position;
layout(location = 2) in vec4 gfx_Color;
layout(location = 3) in vec2 gfx_TexCoord;
uniform vec2 gfx_TargetSize;
uniform mat4 uWorldViewProjection;
uniform bool uPretransformed;
out vec4 vColor;
out vec2 vUv;
)";

const char* const kFixedVertexMain = R"(
void main() {
    vec4 p;
    if (uPretransformed) {
        // Screen pixels with the reciprocal of w: back to clip space of the current target.
        float w = 1.0 / gfx_Position.w;
        p = vec4((2.0 * gfx_Position.x / gfx_TargetSize.x - 1.0) * w,
                 (1.0 - 2.0 * gfx_Position.y / gfx_TargetSize.y) * w, gfx_Position.z * w, w);
    } else {
        p = uWorldViewProjection * vec4(gfx_Position.xyz, 1.0);
    }
    gl_Position = gfx_D3DToGL(p);
    vColor = gfx_Color;
    vUv = gfx_TexCoord;
}
)";

// Stage 0 of the fixed-function texture blending: operations select or modulate the texture
// and the diffuse colour (CURRENT is the diffuse colour at stage 0).
const char* const kFixedFragment = R"(#version 330 core
uniform sampler2D uTexture;
uniform bool uHasTexture;
uniform ivec3 uColorOps;
uniform ivec3 uAlphaOps;
uniform bool uAlphaTest;
in vec4 vColor;
in vec2 vUv;
out vec4 fragColor;
vec4 Arg(int a, vec4 tex) { return a == 2 ? tex : vColor; }
vec4 Op(ivec3 s, vec4 tex) {
    if (s.x == 2) return Arg(s.y, tex);
    if (s.x == 3) return Arg(s.z, tex);
    if (s.x == 4) return Arg(s.y, tex) * Arg(s.z, tex);
    return vColor;
}
void main() {
    vec4 tex = uHasTexture ? texture(uTexture, vUv) : vec4(0.0);
    fragColor = vec4(Op(uColorOps, tex).rgb, Op(uAlphaOps, tex).a);
    if (uAlphaTest && fragColor.a <= 0.0) discard;
}
)";

GLint WrapMode(uint32_t address) {
    switch (address) {
    case AddressMirror:
        return GL_MIRRORED_REPEAT;
    case AddressClamp:
        return GL_CLAMP_TO_EDGE;
    default:
        return GL_REPEAT;
    }
}

bool UsesTexture(uint32_t op, uint32_t arg1, uint32_t arg2) {
    return (op == OpSelectArg1 && arg1 == ArgTexture) ||
           (op == OpSelectArg2 && arg2 == ArgTexture) ||
           (op == OpModulate && (arg1 == ArgTexture || arg2 == ArgTexture));
}

} // namespace

FixedState::FixedState() {
    render[size_t(RenderState::ZEnable)] = 0;
    render[size_t(RenderState::ZWriteEnable)] = 1;
    render[size_t(RenderState::SrcBlend)] = BlendOne;
    render[size_t(RenderState::DestBlend)] = BlendZero;
    render[size_t(RenderState::CullMode)] = CullCcw;
    render[size_t(RenderState::AlphaBlendEnable)] = 0;
    render[size_t(RenderState::Lighting)] = 1;
    sampler[size_t(SamplerState::AddressU)] = AddressWrap;
    sampler[size_t(SamplerState::AddressV)] = AddressWrap;
    sampler[size_t(SamplerState::AddressW)] = AddressWrap;
    sampler[size_t(SamplerState::MagFilter)] = FilterPoint;
    sampler[size_t(SamplerState::MinFilter)] = FilterPoint;
    sampler[size_t(SamplerState::MipFilter)] = FilterNone;
    stage[size_t(StageState::ColorOp)] = OpModulate;
    stage[size_t(StageState::ColorArg1)] = ArgTexture;
    stage[size_t(StageState::ColorArg2)] = ArgCurrent;
    stage[size_t(StageState::AlphaOp)] = OpSelectArg1;
    stage[size_t(StageState::AlphaArg1)] = ArgTexture;
    stage[size_t(StageState::AlphaArg2)] = ArgCurrent;
    world = view = projection = MatrixIdentity();
}

GLenum BlendFactor(uint32_t blend) {
    static const GLenum factors[] = {GL_ZERO,      GL_ONE,
                                     GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
                                     GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                                     GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
                                     GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR};
    return blend >= BlendZero && blend <= BlendInvDestColor ? factors[blend - 1] : GL_ONE;
}

Renderer::Renderer(std::shared_ptr<GlContext> context) : context_(std::move(context)) {}

Renderer::~Renderer() {
    if (!context_->Alive() || !context_->OnUiThread()) {
        return;
    }
    glDeleteProgram(program_);
    glDeleteBuffers(1, &vbo_);
    glDeleteBuffers(1, &ibo_);
    glDeleteVertexArrays(1, &vao_);
    glDeleteSamplers(1, &fixedSampler_);
    glDeleteSamplers(1, &linearClamp_);
}

int Renderer::Init(std::string& log) {
    program_ = BuildProgram(std::string(kFixedVertex) + kClipConversionGlsl + kFixedVertexMain,
                            kFixedFragment, log);
    if (program_ == 0) {
        return kErrNotAvailable;
    }
    uTargetSize_ = glGetUniformLocation(program_, "gfx_TargetSize");
    uWvp_ = glGetUniformLocation(program_, "uWorldViewProjection");
    uPretransformed_ = glGetUniformLocation(program_, "uPretransformed");
    uHasTexture_ = glGetUniformLocation(program_, "uHasTexture");
    uColorOps_ = glGetUniformLocation(program_, "uColorOps");
    uAlphaOps_ = glGetUniformLocation(program_, "uAlphaOps");
    uAlphaTest_ = glGetUniformLocation(program_, "uAlphaTest");
    glUseProgram(program_);
    glUniform1i(glGetUniformLocation(program_, "uTexture"), 0);
    glGenVertexArrays(1, &vao_);
    glGenBuffers(1, &vbo_);
    glGenBuffers(1, &ibo_);
    glGenSamplers(1, &fixedSampler_);
    glGenSamplers(1, &linearClamp_);
    glSamplerParameteri(linearClamp_, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glSamplerParameteri(linearClamp_, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(linearClamp_, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(linearClamp_, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindVertexArray(vao_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo_);
    // The game's defaults: no sRGB conversion, no dithering, no depth buffer.
    glDisable(GL_FRAMEBUFFER_SRGB);
    glDisable(GL_DITHER);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    clipControl_ = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
    return kOk;
}

void Renderer::SetTarget(std::shared_ptr<Surface> target) {
    target_ = std::move(target);
    SurfaceDesc desc;
    target_->GetDesc(desc);
    targetWidth_ = desc.width;
    targetHeight_ = desc.height;
    BindTarget();
}

void Renderer::BindTarget() {
    const TextureData* data = target_ ? &target_->GetTexture()->Data() : nullptr;
    targetIsWindow_ = data != nullptr && data->window;
    glBindFramebuffer(GL_FRAMEBUFFER, data != nullptr ? data->framebuffer : 0);
    glViewport(0, 0, GLsizei(targetWidth_), GLsizei(targetHeight_));
    if (clipControl_ && upperLeft_ != targetIsWindow_) {
        upperLeft_ = targetIsWindow_;
        glClipControl(upperLeft_ ? GL_UPPER_LEFT : GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    }
}

void Renderer::Scissor(int left, int top, int right, int bottom) const {
    // Scissor boxes count rows from the bottom of the window, from the top of a target.
    const int y = targetIsWindow_ ? int(targetHeight_) - bottom : top;
    glScissor(left, y, std::max(0, right - left), std::max(0, bottom - top));
}

int Renderer::VertexSize(uint32_t fvf, unsigned& size) {
    const uint32_t position = fvf & 0x400E;
    if ((fvf & ~uint32_t(0x400E | FvfNormal | FvfDiffuse | FvfTex1)) != 0 ||
        (position != FvfXyz && position != FvfXyzRhw && position != FvfXyzw)) {
        return kErrInvalidCall;
    }
    size = position == FvfXyz ? 12 : 16;
    size += (fvf & FvfNormal) ? 12 : 0;
    size += (fvf & FvfDiffuse) ? 4 : 0;
    size += (fvf & FvfTex1) ? 8 : 0;
    return kOk;
}

int Renderer::Stream(uint32_t fvf, unsigned stride, const void* vertices, size_t vertexBytes,
                     const uint16_t* indices, size_t indexCount) {
    unsigned size = 0;
    if (int r = VertexSize(fvf, size); r != kOk) {
        return r;
    }
    if (stride < size || vertices == nullptr) {
        return kErrInvalidCall;
    }
    glBindVertexArray(vao_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertexBytes), nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(vertexBytes), vertices);
    if (indices != nullptr) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo_);
        const auto bytes = GLsizeiptr(indexCount * sizeof(uint16_t));
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, bytes, nullptr, GL_STREAM_DRAW);
        glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, bytes, indices);
    }
    const uint32_t position = fvf & 0x400E;
    uintptr_t offset = 0;
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, position == FvfXyz ? 3 : 4, GL_FLOAT, GL_FALSE, GLsizei(stride),
                          reinterpret_cast<const void*>(offset));
    offset += position == FvfXyz ? 12 : 16;
    // Attributes the format lacks read constants: no normal, white diffuse, texture (0, 0).
    if (fvf & FvfNormal) {
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, GLsizei(stride),
                              reinterpret_cast<const void*>(offset));
        offset += 12;
    } else {
        glDisableVertexAttribArray(1);
        glVertexAttrib3f(1, 0, 0, 0);
    }
    if (fvf & FvfDiffuse) {
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(stride),
                              reinterpret_cast<const void*>(offset));
        offset += 4;
    } else {
        glDisableVertexAttribArray(2);
        glVertexAttrib4f(2, 1, 1, 1, 1);
    }
    if (fvf & FvfTex1) {
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, GLsizei(stride),
                              reinterpret_cast<const void*>(offset));
    } else {
        glDisableVertexAttribArray(3);
        glVertexAttrib2f(3, 0, 0);
    }
    return kOk;
}

void Renderer::ApplyBlend(bool enable, uint32_t src, uint32_t dest) {
    if (enable) {
        glEnable(GL_BLEND);
        glBlendEquation(GL_FUNC_ADD);
        glBlendFunc(BlendFactor(src), BlendFactor(dest));
    } else {
        glDisable(GL_BLEND);
    }
}

void Renderer::DrawCurrent(GLenum mode, GLsizei count, bool indexed, GLint first) {
    BindTarget();
    if (indexed) {
        glDrawElements(mode, count, GL_UNSIGNED_SHORT, nullptr);
    } else {
        glDrawArrays(mode, first, count);
    }
}

void Renderer::DrawFixed(const DrawState& s, GLenum mode, GLsizei count, bool indexed) {
    UseFixed(s);
    DrawCurrent(mode, count, indexed);
    glDisable(GL_CULL_FACE);
}

void Renderer::DrawFixedRange(const DrawState& s, GLenum mode, GLint first, GLsizei count) {
    UseFixed(s);
    DrawCurrent(mode, count, false, first);
    glDisable(GL_CULL_FACE);
}

void Renderer::UseFixed(const DrawState& s) {
    glUseProgram(program_);
    glUniform2f(uTargetSize_, float(targetWidth_), float(targetHeight_));
    glUniformMatrix4fv(uWvp_, 1, GL_FALSE, &s.worldViewProjection.m[0][0]);
    glUniform1i(uPretransformed_, s.pretransformed ? 1 : 0);
    glUniform1i(uHasTexture_, s.texture != 0 ? 1 : 0);
    glUniform3i(uColorOps_, GLint(s.colorOp), GLint(s.colorArg1), GLint(s.colorArg2));
    glUniform3i(uAlphaOps_, GLint(s.alphaOp), GLint(s.alphaArg1), GLint(s.alphaArg2));
    glUniform1i(uAlphaTest_, s.alphaTest ? 1 : 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glBindSampler(0, s.sampler);
    ApplyBlend(s.blend, s.srcBlend, s.destBlend);
    if (s.cull == CullNone) {
        glDisable(GL_CULL_FACE);
    } else {
        // The y flip into framebuffer rows keeps coordinates, so the game's clockwise front
        // faces are counter-clockwise ones here.
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(s.cull == CullCcw ? GL_BACK : GL_FRONT);
    }
}

GLuint Renderer::FixedSampler() {
    const auto filter = [](uint32_t f) { return f == FilterLinear ? GL_LINEAR : GL_NEAREST; };
    // No mip filter: only level 0 is sampled, as the game's draws expect.
    glSamplerParameteri(fixedSampler_, GL_TEXTURE_MIN_FILTER,
                        filter(state.Sampler(SamplerState::MinFilter)));
    glSamplerParameteri(fixedSampler_, GL_TEXTURE_MAG_FILTER,
                        filter(state.Sampler(SamplerState::MagFilter)));
    glSamplerParameteri(fixedSampler_, GL_TEXTURE_WRAP_S,
                        WrapMode(state.Sampler(SamplerState::AddressU)));
    glSamplerParameteri(fixedSampler_, GL_TEXTURE_WRAP_T,
                        WrapMode(state.Sampler(SamplerState::AddressV)));
    return fixedSampler_;
}

DrawState Renderer::ModulatedScreenState(bool blend) const {
    DrawState s;
    s.pretransformed = true;
    s.sampler = linearClamp_;
    s.colorOp = s.alphaOp = OpModulate;
    s.colorArg1 = s.alphaArg1 = ArgTexture;
    s.colorArg2 = s.alphaArg2 = ArgDiffuse;
    s.blend = blend;
    s.srcBlend = BlendSrcAlpha;
    s.destBlend = BlendInvSrcAlpha;
    s.alphaTest = true;
    return s;
}

DrawState Renderer::FixedDrawState() {
    DrawState s;
    s.pretransformed = (state.fvf & 0x400E) == FvfXyzRhw;
    s.worldViewProjection =
        MatrixMultiply(MatrixMultiply(state.world, state.view), state.projection);
    if (state.texture && !state.texture->IsCube()) {
        s.texture = state.texture->Data().Prepare();
    }
    s.sampler = FixedSampler();
    s.colorOp = state.Stage(StageState::ColorOp);
    s.colorArg1 = state.Stage(StageState::ColorArg1);
    s.colorArg2 = state.Stage(StageState::ColorArg2);
    s.alphaOp = state.Stage(StageState::AlphaOp);
    s.alphaArg1 = state.Stage(StageState::AlphaArg1);
    s.alphaArg2 = state.Stage(StageState::AlphaArg2);
    // An operation that reads the texture while none is bound yields the diffuse colour.
    if (s.texture == 0) {
        if (UsesTexture(s.colorOp, s.colorArg1, s.colorArg2)) {
            s.colorOp = OpSelectArg1;
            s.colorArg1 = ArgDiffuse;
        }
        if (UsesTexture(s.alphaOp, s.alphaArg1, s.alphaArg2)) {
            s.alphaOp = OpSelectArg1;
            s.alphaArg1 = ArgDiffuse;
        }
    }
    s.blend = state.Render(RenderState::AlphaBlendEnable) != 0;
    s.srcBlend = state.Render(RenderState::SrcBlend);
    s.destBlend = state.Render(RenderState::DestBlend);
    s.cull = state.Render(RenderState::CullMode);
    return s;
}

} // namespace Gfx::Internal
