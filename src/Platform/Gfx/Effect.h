#pragma once

#include "Platform/Gfx/Math.h"
#include "Platform/Gfx/Types.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Gfx {

class BaseTexture;
namespace Internal {
class Renderer;
struct EffectProgram;
} // namespace Internal

// A compiled effect: named techniques of passes, each pass a GLSL program with its blend state,
// and named parameters (textures, matrices, floats, vectors) checked against the declared
// table. The text format is described in EffectSource.h. The parameters as they stand take
// effect at every draw inside a pass. A pass uses the device's blend
// state unless it sets its own; End leaves the render target as it is.
class Effect {
public:
    // User-interface thread. kErrInvalidData, with the reason in `errors`, when the text does
    // not parse. A pass's program is compiled when the pass first begins.
    static int Create(const std::shared_ptr<Internal::Renderer>& renderer, const void* data,
                      size_t size, std::shared_ptr<Effect>& out, std::string* errors);
    ~Effect();
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    int SetTechnique(const std::string& name);
    int Begin(unsigned& passes, uint32_t flags = 0);
    // kErrInvalidData, with the compiler's log in Errors, when the pass's program does not
    // build.
    int BeginPass(unsigned pass);
    int EndPass();
    int End();
    // Null textures are allowed: they sample as black. An undeclared name or a parameter of
    // another type answers kErrInvalidCall.
    int SetTexture(const std::string& name, const std::shared_ptr<BaseTexture>& texture);
    int SetMatrix(const std::string& name, const Matrix& matrix);
    int SetFloat(const std::string& name, float value);
    int SetVector(const std::string& name, const Vector4& value);
    int OnLostDevice() { return kOk; }
    int OnResetDevice() { return kOk; }

    // Whether every pass of the technique overwrites what it draws on: blending is off in
    // each. False for a technique the effect does not have.
    bool Opaque(const std::string& technique) const;
    std::vector<std::string> Techniques() const;
    unsigned PassCount(const std::string& technique) const;
    std::string CurrentTechnique() const;
    // The compiler's log of the last pass that did not build; empty while none failed.
    const std::string& Errors() const;

    explicit Effect(std::unique_ptr<Internal::EffectProgram> program);

private:
    std::unique_ptr<Internal::EffectProgram> program_;
};

} // namespace Gfx
