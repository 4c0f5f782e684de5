#include "Platform/Gfx/Effect.h"

#include "Platform/Gfx/EffectSource.h"
#include "Platform/Gfx/GlProgram.h"
#include "Platform/Gfx/GlRenderer.h"
#include "Platform/Gfx/GlTexture.h"

#include <algorithm>
#include <cstring>

namespace Gfx {

namespace Internal {

namespace {

const char* const kHelpers = R"(
vec2 gfx_ScreenUV(vec2 ndc) { return vec2(ndc.x * 0.5 + 0.5, 0.5 - ndc.y * 0.5); }
vec2 gfx_TexelCentre(vec2 uv, vec2 size) { return uv + 0.5 / size; }
)";

const char* GlslType(ParamType type) {
    switch (type) {
    case ParamType::Float:
        return "float";
    case ParamType::Float4:
        return "vec4";
    case ParamType::Matrix:
        return "mat4";
    case ParamType::Texture2d:
        return "sampler2D";
    case ParamType::TextureCube:
        return "samplerCube";
    }
    return "float";
}

bool IsTexture(ParamType type) {
    return type == ParamType::Texture2d || type == ParamType::TextureCube;
}

std::string Declarations(const EffectSource& source) {
    std::string text = "uniform vec2 gfx_TargetSize;\n";
    for (const EffectParam& p : source.params) {
        text += std::string("uniform ") + GlslType(p.type) + " " + p.name + ";\n";
    }
    return text + kHelpers + source.common + "\n";
}

std::string VertexSource(const EffectSource& source, const EffectPass& pass) {
    return std::string("#version 330 core\n#define VERTEX_SHADER 1\n#define VARYING out\n"
                       "layout(location = 0) in vec4 gfx_Position;\n"
                       "layout(location = 1) in vec3 gfx_Normal;\n"
                       "layout(location = 2) in vec4 gfx_Color;\n"
                       "layout(location = 3) in vec2 gfx_TexCoord;\n") +
           Declarations(source) + pass.vertex + kClipConversionGlsl +
           "void main() { gl_Position = gfx_D3DToGL(VSMain()); }\n";
}

std::string FragmentSource(const EffectSource& source, const EffectPass& pass) {
    return std::string("#version 330 core\n#define FRAGMENT_SHADER 1\n#define VARYING in\n"
                       "out vec4 gfx_FragColor;\n") +
           Declarations(source) + pass.fragment + "void main() { gfx_FragColor = PSMain(); }\n";
}

GLint MinFilter(const EffectParam& p) {
    static const GLint filters[2][3] = {
        {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_LINEAR},
        {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR}};
    return filters[p.linear ? 1 : 0][p.mipFilter];
}

GLint Wrap(uint32_t address) {
    return address == 1 ? GL_REPEAT : (address == 2 ? GL_MIRRORED_REPEAT : GL_CLAMP_TO_EDGE);
}

struct ParamValue {
    float values[16] = {};
    std::shared_ptr<BaseTexture> texture;
};

// One pass's program, compiled when the pass first begins.
struct PassProgram {
    GLuint program = 0;
    GLint targetSize = -1;
    std::vector<GLint> locations; // per parameter
};

} // namespace

struct EffectProgram : PassHook {
    ~EffectProgram() override {
        if (renderer->activePass == this) {
            renderer->activePass = nullptr;
        }
        if (!renderer->Context().Alive() || !renderer->OnUiThread()) {
            return;
        }
        for (auto& technique : programs) {
            for (PassProgram& pass : technique) {
                glDeleteProgram(pass.program);
            }
        }
        for (GLuint sampler : samplers) {
            glDeleteSamplers(1, &sampler);
        }
    }

    // The samplers; the pass programs wait for their first use (Compile).
    void Build();
    // Compiles and links the pass's program unless it exists; kErrInvalidData, with the
    // compiler's log in `errors`, when it does not build.
    int Compile(size_t techniqueIndex, size_t passIndex);
    void PrepareDraw() override;
    int Find(const std::string& name, ParamType a, ParamType b, size_t& index) const;

    std::shared_ptr<Renderer> renderer;
    EffectSource source;
    std::vector<std::vector<PassProgram>> programs; // [technique][pass]
    std::vector<GLuint> samplers;                   // per parameter (textures only)
    std::vector<ParamValue> values;
    size_t technique = 0;
    bool begun = false;
    int pass = -1;
    std::string errors;
};

void EffectProgram::Build() {
    values.resize(source.params.size());
    samplers.assign(source.params.size(), 0);
    for (size_t i = 0; i < source.params.size(); ++i) {
        const EffectParam& p = source.params[i];
        if (!IsTexture(p.type)) {
            continue;
        }
        glGenSamplers(1, &samplers[i]);
        glSamplerParameteri(samplers[i], GL_TEXTURE_MIN_FILTER, MinFilter(p));
        glSamplerParameteri(samplers[i], GL_TEXTURE_MAG_FILTER, p.linear ? GL_LINEAR : GL_NEAREST);
        glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_S, Wrap(p.address));
        glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_T, Wrap(p.address));
        glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_R, Wrap(p.address));
    }
    for (const EffectTechnique& t : source.techniques) {
        programs.emplace_back(t.passes.size());
    }
}

int EffectProgram::Compile(size_t techniqueIndex, size_t passIndex) {
    PassProgram& pass = programs[techniqueIndex][passIndex];
    if (pass.program != 0) {
        return kOk;
    }
    const EffectTechnique& t = source.techniques[techniqueIndex];
    const EffectPass& p = t.passes[passIndex];
    std::string log;
    pass.program = BuildProgram(VertexSource(source, p), FragmentSource(source, p), log);
    if (pass.program == 0) {
        errors = "technique " + t.name + ": " + log;
        return kErrInvalidData;
    }
    pass.targetSize = glGetUniformLocation(pass.program, "gfx_TargetSize");
    glUseProgram(pass.program);
    GLint unit = 0;
    for (const EffectParam& param : source.params) {
        const GLint location = glGetUniformLocation(pass.program, param.name.c_str());
        pass.locations.push_back(location);
        // Texture parameters take units in declaration order.
        if (IsTexture(param.type)) {
            glUniform1i(location, unit++);
        }
    }
    return kOk;
}

void EffectProgram::PrepareDraw() {
    const PassProgram& p = programs[technique][size_t(pass)];
    glUseProgram(p.program);
    glUniform2f(p.targetSize, float(renderer->TargetWidth()), float(renderer->TargetHeight()));
    GLuint unit = 0;
    for (size_t i = 0; i < source.params.size(); ++i) {
        const GLint location = p.locations[i];
        const ParamValue& v = values[i];
        switch (source.params[i].type) {
        case ParamType::Float:
            glUniform1f(location, v.values[0]);
            break;
        case ParamType::Float4:
            glUniform4fv(location, 1, v.values);
            break;
        case ParamType::Matrix:
            glUniformMatrix4fv(location, 1, GL_FALSE, v.values);
            break;
        case ParamType::Texture2d:
        case ParamType::TextureCube: {
            const GLenum target =
                source.params[i].type == ParamType::Texture2d ? GL_TEXTURE_2D : GL_TEXTURE_CUBE_MAP;
            glActiveTexture(GL_TEXTURE0 + unit);
            Internal::TextureData* data = v.texture ? &v.texture->Data() : nullptr;
            const bool mips = source.params[i].mipFilter != 0;
            glBindTexture(target, data == nullptr ? 0
                                  : mips          ? data->PrepareMipChain()
                                                  : data->Prepare());
            glBindSampler(unit, samplers[i]);
            ++unit;
            break;
        }
        }
    }
    glActiveTexture(GL_TEXTURE0);
    const EffectPass& state = source.techniques[technique].passes[size_t(pass)];
    switch (state.blend) {
    case PassBlend::Off:
        renderer->ApplyBlend(false, 0, 0);
        break;
    case PassBlend::On:
        renderer->ApplyBlend(true, state.srcBlend, state.destBlend);
        break;
    case PassBlend::Inherit:
        // The device's blend state, or the sprite batch's while one is open.
        if (renderer->spriteOpen) {
            renderer->ApplyBlend(true, BlendSrcAlpha, BlendInvSrcAlpha);
        } else {
            const FixedState& s = renderer->state;
            renderer->ApplyBlend(s.Render(RenderState::AlphaBlendEnable) != 0,
                                 s.Render(RenderState::SrcBlend), s.Render(RenderState::DestBlend));
        }
        break;
    }
    glDisable(GL_CULL_FACE);
}

int EffectProgram::Find(const std::string& name, ParamType a, ParamType b, size_t& index) const {
    for (size_t i = 0; i < source.params.size(); ++i) {
        if (source.params[i].name == name) {
            index = i;
            return source.params[i].type == a || source.params[i].type == b ? kOk : kErrInvalidCall;
        }
    }
    return kErrInvalidCall;
}

} // namespace Internal

int Effect::Create(const std::shared_ptr<Internal::Renderer>& renderer, const void* data,
                   size_t size, std::shared_ptr<Effect>& out, std::string* errors) {
    auto program = std::make_unique<Internal::EffectProgram>();
    program->renderer = renderer;
    std::string message;
    if (data == nullptr ||
        !ParseEffectSource(static_cast<const char*>(data), size, program->source, message)) {
        if (errors != nullptr) {
            *errors = data == nullptr ? "no effect text" : message;
        }
        return kErrInvalidData;
    }
    program->Build();
    out = std::make_shared<Effect>(std::move(program));
    return kOk;
}

Effect::Effect(std::unique_ptr<Internal::EffectProgram> program) : program_(std::move(program)) {}

Effect::~Effect() = default;

int Effect::SetTechnique(const std::string& name) {
    const auto& techniques = program_->source.techniques;
    for (size_t i = 0; i < techniques.size(); ++i) {
        if (techniques[i].name == name && !program_->begun) {
            program_->technique = i;
            return kOk;
        }
    }
    return kErrInvalidCall;
}

int Effect::Begin(unsigned& passes, uint32_t /*flags: state is never changed by a pass*/) {
    if (program_->begun) {
        return kErrInvalidCall;
    }
    program_->begun = true;
    passes = unsigned(program_->programs[program_->technique].size());
    return kOk;
}

int Effect::BeginPass(unsigned pass) {
    Internal::EffectProgram& p = *program_;
    if (!p.begun || p.pass >= 0 || pass >= p.programs[p.technique].size() ||
        !p.renderer->OnUiThread() || p.renderer->activePass != nullptr) {
        return kErrInvalidCall;
    }
    if (int r = p.Compile(p.technique, pass); r != kOk) {
        return r;
    }
    // The pass program is made current by each draw inside the pass (PrepareDraw).
    p.pass = int(pass);
    p.renderer->activePass = &p;
    return kOk;
}

int Effect::EndPass() {
    Internal::EffectProgram& p = *program_;
    if (p.pass < 0) {
        return kErrInvalidCall;
    }
    p.pass = -1;
    p.renderer->activePass = nullptr;
    return kOk;
}

int Effect::End() {
    Internal::EffectProgram& p = *program_;
    if (!p.begun) {
        return kErrInvalidCall;
    }
    if (p.pass >= 0) {
        EndPass();
    }
    p.begun = false;
    return kOk;
}

int Effect::SetTexture(const std::string& name, const std::shared_ptr<BaseTexture>& texture) {
    size_t i = 0;
    if (int r = program_->Find(name, ParamType::Texture2d, ParamType::TextureCube, i); r != kOk) {
        return r;
    }
    const bool cube = program_->source.params[i].type == ParamType::TextureCube;
    if (texture && texture->IsCube() != cube) {
        return kErrInvalidCall;
    }
    program_->values[i].texture = texture;
    return kOk;
}

int Effect::SetMatrix(const std::string& name, const Matrix& matrix) {
    size_t i = 0;
    if (int r = program_->Find(name, ParamType::Matrix, ParamType::Matrix, i); r != kOk) {
        return r;
    }
    std::memcpy(program_->values[i].values, &matrix.m[0][0], sizeof(float) * 16);
    return kOk;
}

int Effect::SetFloat(const std::string& name, float value) {
    size_t i = 0;
    if (int r = program_->Find(name, ParamType::Float, ParamType::Float, i); r != kOk) {
        return r;
    }
    program_->values[i].values[0] = value;
    return kOk;
}

int Effect::SetVector(const std::string& name, const Vector4& value) {
    size_t i = 0;
    if (int r = program_->Find(name, ParamType::Float4, ParamType::Float4, i); r != kOk) {
        return r;
    }
    const float v[4] = {value.x, value.y, value.z, value.w};
    std::memcpy(program_->values[i].values, v, sizeof(v));
    return kOk;
}

bool Effect::Opaque(const std::string& technique) const {
    for (const auto& t : program_->source.techniques) {
        if (t.name == technique) {
            return std::all_of(t.passes.begin(), t.passes.end(),
                               [](const EffectPass& pass) { return pass.blend == PassBlend::Off; });
        }
    }
    return false;
}

std::vector<std::string> Effect::Techniques() const {
    std::vector<std::string> names;
    for (const auto& t : program_->source.techniques) {
        names.push_back(t.name);
    }
    return names;
}

unsigned Effect::PassCount(const std::string& technique) const {
    for (const auto& t : program_->source.techniques) {
        if (t.name == technique) {
            return unsigned(t.passes.size());
        }
    }
    return 0;
}

const std::string& Effect::Errors() const {
    return program_->errors;
}

std::string Effect::CurrentTechnique() const {
    return program_->source.techniques[program_->technique].name;
}

} // namespace Gfx
