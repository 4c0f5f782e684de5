#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The effect text format: the files keep their `.fx` names but hold our own directives around
// GLSL 330 code. Lines starting with '@' in column 1 are directives; the lines between them are
// the code of the current block; outside code blocks only blank lines and // comments may stand.
//
//   @effect 1                                 first directive
//   @param <type> <Name> [key=value ...]      before the first technique; type float, float4,
//                                             matrix, texture2d or texturecube; textures take
//                                             filter=point|linear (linear), mipfilter=
//                                             none|point|linear (none), address=wrap|clamp|mirror
//                                             (clamp)
//   @common                                   GLSL put before both stages of every pass
//   @technique <Name>                         the first one is current after creation
//   @pass [<Name>]
//   @state blend=inherit|off|on [src=<f>] [dst=<f>]   f: zero one srccolor invsrccolor srcalpha
//                                             invsrcalpha destalpha invdestalpha destcolor
//                                             invdestcolor
//   @vertex                                   GLSL defining vec4 VSMain(), the clip position
//   @fragment                                 GLSL defining vec4 PSMain(), the colour
//   @end                                      optional; ends the file
//
// Both stages see the parameters as uniforms of the same names (matrix: mat4 received
// untransposed, so `M * v` is the row-vector product), `uniform vec2 gfx_TargetSize`,
// `gfx_ScreenUV(ndc)` (clip xy to texture uv) and `gfx_TexelCentre(uv, size)` (half a texel
// on); the vertex stage has the inputs gfx_Position, gfx_Normal, gfx_Color and gfx_TexCoord.
// VARYING is `out` in the vertex stage and `in` in the fragment stage.
namespace Gfx {

enum class ParamType { Float, Float4, Matrix, Texture2d, TextureCube };
enum class PassBlend { Inherit, Off, On };

struct EffectParam {
    ParamType type = ParamType::Float;
    std::string name;
    bool linear = true;   // filter
    int mipFilter = 0;    // 0 none, 1 point, 2 linear
    uint32_t address = 3; // wrap 1, mirror 2, clamp 3
};

struct EffectPass {
    std::string name;
    PassBlend blend = PassBlend::Inherit;
    uint32_t srcBlend = 5, destBlend = 6; // source alpha, inverse source alpha
    std::string vertex, fragment;
    bool hasVertex = false, hasFragment = false;
};

struct EffectTechnique {
    std::string name;
    std::vector<EffectPass> passes;
};

struct EffectSource {
    std::vector<EffectParam> params;
    std::string common;
    std::vector<EffectTechnique> techniques;
};

// Parses effect text. False with a message ("line N: ...") in `error` when it is malformed.
bool ParseEffectSource(const char* text, size_t size, EffectSource& out, std::string& error);

} // namespace Gfx
