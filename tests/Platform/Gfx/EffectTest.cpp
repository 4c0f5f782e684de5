#include "Platform/Gfx/Effect.h"

#include "GfxTestSupport.h"
#include "Platform/Gfx/Sprite.h"

#include <cstring>

namespace {

using namespace Gfx;
using gfxtest::GlTest;

// The full-screen quad of the frame effects: XYZ positions with a 20-byte stride.
struct QuadVertex {
    float x, y, z, u, v;
};
const QuadVertex kQuad[4] = {
    {-1, -1, 1, 0, 1}, {-1, 1, 1, 0, 0}, {1, -1, 1, 1, 1}, {1, 1, 1, 1, 0}};

const char* const kTwoPass = R"(@effect 1
// Pass 0 copies ScreenTex, pass 1 writes it inverted.
@param texture2d ScreenTex filter=linear address=clamp
@param float Unused
@param matrix Shift
@common
VARYING vec2 vNdc;
@technique Copy
@pass copy
@state blend=off
@vertex
vec4 VSMain() { vNdc = gfx_Position.xy; return vec4(gfx_Position.xyz, 1.0); }
@fragment
vec4 PSMain() { return texture(ScreenTex, gfx_TexelCentre(gfx_ScreenUV(vNdc), gfx_TargetSize)); }
@pass invert
@vertex
vec4 VSMain() { vNdc = gfx_Position.xy; return vec4(gfx_Position.xyz, 1.0); }
@fragment
vec4 PSMain() {
    vec4 c = texture(ScreenTex, gfx_TexelCentre(gfx_ScreenUV(vNdc), gfx_TargetSize));
    return vec4(1.0 - c.rgb, 1.0);
}
@technique Shifted
@pass
@state blend=off
@vertex
vec4 VSMain() { return Shift * vec4(gfx_Position.xyz, 1.0); }
@fragment
vec4 PSMain() { return vec4(1.0); }
@end
)";

const char* const kHalfWhite = R"(@effect 1
@technique Lines
@pass
@vertex
vec4 VSMain() { return vec4(gfx_Position.xyz, 1.0); }
@fragment
vec4 PSMain() { return vec4(1.0, 1.0, 1.0, 0.5); }
)";

class GlEffect : public GlTest {
protected:
    std::shared_ptr<Effect> Make(const char* text) {
        std::shared_ptr<Effect> effect;
        std::string errors;
        EXPECT_EQ(device_->CreateEffect(text, std::strlen(text), effect, &errors), kOk) << errors;
        return effect;
    }
    // The full-screen quad through the only pass of the current technique.
    void DrawSinglePass(Effect& effect) {
        unsigned passes = 0;
        ASSERT_EQ(effect.Begin(passes), kOk);
        ASSERT_EQ(effect.BeginPass(0), kOk);
        DrawQuad();
        ASSERT_EQ(effect.EndPass(), kOk);
        ASSERT_EQ(effect.End(), kOk);
    }
    void DrawQuad() {
        ASSERT_EQ(device_->SetFvf(FvfXyz), kOk);
        ASSERT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleStrip, 2, kQuad, sizeof(QuadVertex)),
                  kOk);
    }
};

// The blur's pattern: pass 0 into target A, pass 1 reads A into target B; the target set
// between passes holds, and End leaves B as the render target.
TEST_F(GlEffect, TwoPassesSwitchTargetsTexelExact) {
    auto effect = Make(kTwoPass);
    ASSERT_TRUE(effect);
    std::shared_ptr<Texture> source, a, b;
    auto sourceSurface = Target(source), aSurface = Target(a), bSurface = Target(b);
    const std::vector<uint32_t> texels = gfxtest::Pattern(1024 * 1024);
    // The source target gets the pattern texel for pixel.
    const struct {
        float x, y, z, rhw, u, v;
    } square[4] = {{-0.5f, -0.5f, 0, 1, 0, 0},
                   {1023.5f, -0.5f, 0, 1, 1, 0},
                   {-0.5f, 1023.5f, 0, 1, 0, 1},
                   {1023.5f, 1023.5f, 0, 1, 1, 1}};
    ASSERT_EQ(device_->SetRenderTarget(0, sourceSurface), kOk);
    ASSERT_EQ(device_->SetTexture(0, MakeTexture(1024, 1024, texels)), kOk);
    ASSERT_EQ(device_->SetFvf(FvfXyzRhw | FvfTex1), kOk);
    ASSERT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleStrip, 2, square, sizeof(square[0])),
              kOk);
    ASSERT_EQ(effect->SetTexture("ScreenTex", source), kOk);
    unsigned passes = 0;
    ASSERT_EQ(effect->Begin(passes, 0), kOk);
    ASSERT_EQ(passes, 2u);
    for (unsigned p = 0; p < passes; ++p) {
        ASSERT_EQ(device_->SetRenderTarget(0, p == 0 ? aSurface : bSurface), kOk);
        if (p == 1) {
            ASSERT_EQ(effect->SetTexture("ScreenTex", a), kOk);
        }
        ASSERT_EQ(effect->BeginPass(p), kOk);
        DrawQuad();
        ASSERT_EQ(effect->EndPass(), kOk);
    }
    ASSERT_EQ(effect->End(), kOk);
    std::shared_ptr<Surface> current;
    ASSERT_EQ(device_->GetRenderTarget(0, current), kOk);
    EXPECT_EQ(current, bSurface);
    std::vector<uint32_t> copied, inverted;
    ASSERT_EQ(device_->ReadRenderTarget(*aSurface, copied), kOk);
    ASSERT_EQ(device_->ReadRenderTarget(*bSurface, inverted), kOk);
    int copyMismatches = 0, invertMismatches = 0;
    for (uint32_t y = 0; y < 768; ++y) {
        for (uint32_t x = 0; x < 1024; ++x) {
            const uint32_t t = texels[y * 1024 + x];
            copyMismatches += copied[y * 1024 + x] != t;
            invertMismatches += inverted[y * 1024 + x] != (0xFF000000u | ~t);
        }
    }
    EXPECT_EQ(copyMismatches, 0);
    EXPECT_EQ(invertMismatches, 0);
}

// Parameters by declared name and type; shaders see matrices as row-vector products.
TEST_F(GlEffect, ParametersFollowTheDeclaredTableAndMatricesMultiplyAsRowVectors) {
    auto effect = Make(kTwoPass);
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->SetFloat("Unused", 1.0f), kOk);
    EXPECT_EQ(effect->SetFloat("Missing", 1.0f), kErrInvalidCall);
    EXPECT_EQ(effect->SetMatrix("Unused", MatrixIdentity()), kErrInvalidCall);
    EXPECT_EQ(effect->SetTexture("ScreenTex", nullptr), kOk);
    EXPECT_EQ(effect->SetTechnique("Nothing"), kErrInvalidCall);
    EXPECT_EQ(effect->Techniques(), (std::vector<std::string>{"Copy", "Shifted"}));
    unsigned passes = 0;
    EXPECT_EQ(effect->BeginPass(0), kErrInvalidCall);
    ASSERT_EQ(effect->SetTechnique("Shifted"), kOk);
    // Half width, then a row-vector translation by +0.5 in x: the quad covers the right half.
    Matrix shift = MatrixIdentity();
    shift.m[3][0] = 0.5f;
    Matrix scale = MatrixIdentity();
    scale.m[0][0] = 0.5f;
    ASSERT_EQ(effect->SetMatrix("Shift", MatrixMultiply(scale, shift)), kOk);
    ASSERT_EQ(effect->Begin(passes), kOk);
    EXPECT_EQ(effect->Begin(passes), kErrInvalidCall);
    EXPECT_EQ(effect->BeginPass(1), kErrInvalidCall);
    ASSERT_EQ(effect->BeginPass(0), kOk);
    DrawQuad();
    ASSERT_EQ(effect->EndPass(), kOk);
    ASSERT_EQ(effect->End(), kOk);
    const auto pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[300 * 1024 + 200], 0xFF000000u);
    EXPECT_EQ(pixels[300 * 1024 + 800], 0xFFFFFFFFu);
    EXPECT_EQ(pixels[300 * 1024 + 511], 0xFF000000u);
    EXPECT_EQ(pixels[300 * 1024 + 513], 0xFFFFFFFFu);
}

// A pass is compiled when it first begins: one that does not compile answers invalid data
// with the compiler's log, every time, and leaves the effect begun and the other passes usable.
TEST_F(GlEffect, CompileErrorsFailTheirPassWithTheLog) {
    const std::string broken =
        "@effect 1\n@technique T\n@pass\n@vertex\nvec4 VSMain() { return vec4(0.0); }\n"
        "@fragment\nvec4 PSMain() { return vec4(1.0); }\n@pass\n@vertex\nvec4 VSMain() { "
        "return nothing; }\n@fragment\nvec4 PSMain() { return vec4(1.0); }\n";
    auto effect = Make(broken.c_str());
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->Errors(), "");
    unsigned passes = 0;
    ASSERT_EQ(effect->Begin(passes), kOk);
    EXPECT_EQ(effect->BeginPass(0), kOk);
    EXPECT_EQ(effect->EndPass(), kOk);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(effect->BeginPass(1), kErrInvalidData);
        EXPECT_NE(effect->Errors().find("technique T: vertex stage"), std::string::npos)
            << effect->Errors();
    }
    EXPECT_EQ(effect->BeginPass(0), kOk);
    EXPECT_EQ(effect->End(), kOk);
    std::shared_ptr<Effect> none;
    std::string errors;
    EXPECT_EQ(device_->CreateEffect("@technique", 10, none, &errors), kErrInvalidData);
    EXPECT_FALSE(errors.empty());
}

// A pass without its own blend state takes the device's, or the open sprite batch's (the lines
// effect runs inside one); after End the fixed-function state draws again.
TEST_F(GlEffect, InheritedBlendFollowsTheSpriteBatchOrTheDevice) {
    auto effect = Make(kHalfWhite);
    ASSERT_TRUE(effect);
    std::shared_ptr<Sprite> sprite;
    ASSERT_EQ(device_->CreateSprite(sprite), kOk);
    ASSERT_EQ(sprite->Begin(SpriteAlphaBlend), kOk);
    DrawSinglePass(*effect);
    ASSERT_EQ(sprite->End(), kOk);
    EXPECT_NEAR(int(ReadBackBuffer()[1000] & 0xFF), 0x80, 1);
    DrawSinglePass(*effect); // device blending is off: the colour replaces
    EXPECT_EQ(ReadBackBuffer()[1000], 0xFFFFFFFFu);
    const struct {
        float x, y, z, rhw;
        uint32_t colour;
    } quad[4] = {{-0.5f, -0.5f, 0, 1, 0xFF00FF00},
                 {9.5f, -0.5f, 0, 1, 0xFF00FF00},
                 {-0.5f, 9.5f, 0, 1, 0xFF00FF00},
                 {9.5f, 9.5f, 0, 1, 0xFF00FF00}};
    ASSERT_EQ(device_->SetFvf(FvfXyzRhw | FvfDiffuse), kOk);
    ASSERT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleStrip, 2, quad, sizeof(quad[0])), kOk);
    EXPECT_EQ(ReadBackBuffer()[5], 0xFF00FF00u);
}

} // namespace

namespace {

// Level 1 of a 2x2 texture through a sampler with or without a mip filter; the mapped quad
// samples the top-left texel's centre.
const char* const kLevelOne = R"(@effect 1
@param texture2d Mipped filter=point mipfilter=point
@param texture2d Flat filter=point
@technique Mipped
@pass
@state blend=off
@vertex
vec4 VSMain() { return vec4(gfx_Position.xyz, 1.0); }
@fragment
vec4 PSMain() { return textureLod(Mipped, vec2(0.25), 1.0); }
@technique Flat
@pass
@state blend=inherit
@vertex
vec4 VSMain() { return vec4(gfx_Position.xyz, 1.0); }
@fragment
vec4 PSMain() { return textureLod(Flat, vec2(0.25), 1.0); }
)";

// A file texture has level 0 only until a sampler that filters between levels binds it; then
// its chain is made (level 1 of black and white texels is their grey), while a plain sampler
// keeps reading level 0. Opaque techniques are those whose passes all turn blending off.
TEST_F(GlEffect, MipChainIsMadeOnlyForSamplersThatFilterBetweenLevels) {
    auto effect = Make(kLevelOne);
    ASSERT_TRUE(effect);
    EXPECT_TRUE(effect->Opaque("Mipped"));
    EXPECT_FALSE(effect->Opaque("Flat"));
    EXPECT_FALSE(effect->Opaque("Missing"));
    const std::vector<uint32_t> checker = {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000};
    auto texture = MakeTexture(2, 2, checker);
    for (const char* technique : {"Flat", "Mipped", "Flat"}) {
        SCOPED_TRACE(technique);
        ASSERT_EQ(effect->SetTechnique(technique), kOk);
        ASSERT_EQ(effect->SetTexture(technique, texture), kOk);
        DrawSinglePass(*effect);
        const uint32_t texel = ReadBackBuffer()[384 * 1024 + 512];
        if (std::string(technique) == "Mipped") {
            EXPECT_NEAR(int(texel & 0xFF), 0x80, 1);
        } else {
            EXPECT_EQ(texel, 0xFF000000u);
        }
        EXPECT_EQ(texture->LevelCount(), 1u);
    }
}

} // namespace
