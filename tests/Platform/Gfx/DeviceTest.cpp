#include "GfxTestSupport.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Font.h"
#include "Platform/Gfx/GlTexture.h"
#include "Platform/Gfx/Math.h"

#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

using namespace Gfx;
using gfxtest::ChannelDiff;
using gfxtest::DrawScreenTexture;
using gfxtest::GlTest;

struct XyzTex {
    float x, y, z, u, v;
};
struct RhwColour {
    float x, y, z, rhw;
    uint32_t colour;
};

// A texel that names its own position.
uint32_t CoordTexel(uint32_t x, uint32_t y) {
    return 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | (x >> 8) << 4 | (y >> 8);
}

void DrawScreenRect(Device& device, float x0, float y0, float x1, float y1, uint32_t colour) {
    const RhwColour quad[4] = {{x0 - 0.5f, y0 - 0.5f, 1, 1, colour},
                               {x1 - 0.5f, y0 - 0.5f, 1, 1, colour},
                               {x0 - 0.5f, y1 - 0.5f, 1, 1, colour},
                               {x1 - 0.5f, y1 - 0.5f, 1, 1, colour}};
    ASSERT_EQ(device.SetFvf(FvfXyzRhw | FvfDiffuse), kOk);
    ASSERT_EQ(device.DrawPrimitiveUp(Primitive::TriangleStrip, 2, quad, sizeof(RhwColour)), kOk);
}

// The screen background: a 1024x1024 texture over the 1024x768 frame with the engine's own
// offsets lands texel for pixel.
TEST_F(GlTest, FullScreenTexturedQuadIsTexelExact) {
    std::vector<uint32_t> texels(1024 * 1024);
    for (uint32_t y = 0; y < 1024; ++y) {
        for (uint32_t x = 0; x < 1024; ++x) {
            texels[y * 1024 + x] = CoordTexel(x, y);
        }
    }
    auto texture = MakeTexture(1024, 1024, texels);
    const XyzTex quad[4] = {{-1.0009765625f, -0.99869794f, 0, 0, 0.75f},
                            {-1.0009765625f, 1.0013021f, 0, 0, 0},
                            {0.9990234375f, -0.99869794f, 0, 1, 0.75f},
                            {0.9990234375f, 1.0013021f, 0, 1, 0}};
    ASSERT_EQ(device_->BeginScene(), kOk);
    ASSERT_EQ(device_->SetTexture(0, texture), kOk);
    ASSERT_EQ(device_->SetTextureStageState(0, StageState::ColorArg1, ArgTexture), kOk);
    ASSERT_EQ(device_->SetTextureStageState(0, StageState::ColorOp, OpSelectArg1), kOk);
    ASSERT_EQ(device_->SetSamplerState(0, SamplerState::AddressU, AddressClamp), kOk);
    ASSERT_EQ(device_->SetSamplerState(0, SamplerState::AddressV, AddressClamp), kOk);
    ASSERT_EQ(device_->SetSamplerState(0, SamplerState::MinFilter, FilterLinear), kOk);
    ASSERT_EQ(device_->SetSamplerState(0, SamplerState::MagFilter, FilterLinear), kOk);
    ASSERT_EQ(device_->SetRenderState(RenderState::CullMode, CullNone), kOk);
    ASSERT_EQ(device_->SetFvf(FvfXyz | FvfTex1), kOk);
    ASSERT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleStrip, 2, quad, sizeof(XyzTex)), kOk);
    ASSERT_EQ(device_->EndScene(), kOk);
    const auto pixels = ReadBackBuffer();
    int mismatches = 0;
    for (uint32_t y = 0; y < 768; ++y) {
        for (uint32_t x = 0; x < 1024; ++x) {
            mismatches += pixels[y * 1024 + x] != CoordTexel(x, y);
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(device_->Present(), kOk);
}

// Drawn into a render target, sampled back onto the back buffer: the top-left marker stays at
// the top left. A new target starts black, also when it takes the memory of one drawn on.
TEST_F(GlTest, RenderTargetRoundTripKeepsOrientationAndStartsBlack) {
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        std::shared_ptr<Texture> target;
        const std::shared_ptr<Surface> surface = Target(target);
        ASSERT_TRUE(surface);
        ASSERT_EQ(device_->SetRenderTarget(0, surface), kOk);
        DrawScreenRect(*device_, 0, 0, 8, 4, 0xFFFF0000);
        std::vector<uint32_t> rt;
        ASSERT_EQ(device_->ReadRenderTarget(*surface, rt), kOk);
        EXPECT_EQ(rt[0], 0xFFFF0000u);
        EXPECT_EQ(rt[3 * 1024 + 7], 0xFFFF0000u);
        EXPECT_EQ(rt[4 * 1024], 0xFF000000u);
        EXPECT_EQ(rt[100], 0xFF000000u);

        ASSERT_EQ(device_->SetRenderTarget(0, device_->BackBuffer()), kOk);
        DrawScreenTexture(*device_, target, 1024, 768);
        const auto pixels = ReadBackBuffer();
        EXPECT_EQ(pixels[0], 0xFFFF0000u);
        EXPECT_EQ(pixels[3 * 1024 + 7], 0xFFFF0000u);
        EXPECT_EQ(pixels[3 * 1024 + 8], 0xFF000000u);
        EXPECT_EQ(pixels[767 * 1024], 0xFF000000u);
        ASSERT_EQ(device_->SetRenderTarget(0, surface), kOk);
        ASSERT_EQ(device_->Clear(0xFFFFFFFF), kOk);
        ASSERT_EQ(device_->SetRenderTarget(0, device_->BackBuffer()), kOk);
    }
}

// The hint box and the zones draw with no texture while the stage still names the texture:
// the vertex colour shows, blended with straight alpha; the blend state persists.
TEST_F(GlTest, NoTextureStageUsesVertexColourAndBlends) {
    ASSERT_EQ(device_->Clear(0xFFFFFFFF), kOk);
    ASSERT_EQ(device_->SetTextureStageState(0, StageState::ColorOp, OpSelectArg1), kOk);
    ASSERT_EQ(device_->SetTextureStageState(0, StageState::AlphaOp, OpModulate), kOk);
    ASSERT_EQ(device_->SetTexture(0, nullptr), kOk);
    ASSERT_EQ(device_->SetRenderState(RenderState::SrcBlend, BlendSrcAlpha), kOk);
    ASSERT_EQ(device_->SetRenderState(RenderState::DestBlend, BlendInvSrcAlpha), kOk);
    ASSERT_EQ(device_->SetRenderState(RenderState::AlphaBlendEnable, 1), kOk);
    DrawScreenRect(*device_, 0, 0, 10, 10, 0x90000000);
    DrawScreenRect(*device_, 20, 0, 30, 10, 0x4000FF00);
    // Blending is still on for the next draw: an opaque colour replaces.
    DrawScreenRect(*device_, 40, 0, 50, 10, 0xFF123456);
    ASSERT_EQ(device_->SetRenderState(RenderState::AlphaBlendEnable, 0), kOk);
    DrawScreenRect(*device_, 60, 0, 70, 10, 0x00ABCDEF);
    const auto pixels = ReadBackBuffer();
    EXPECT_LE(ChannelDiff(pixels[5 * 1024 + 5], 0xFF6F6F6F), 1);
    EXPECT_LE(ChannelDiff(pixels[5 * 1024 + 25], 0xFFBFFFBF), 1);
    EXPECT_EQ(pixels[5 * 1024 + 45], 0xFF123456u);
    EXPECT_EQ(pixels[5 * 1024 + 65], 0xFFABCDEFu);
    EXPECT_EQ(pixels[5 * 1024 + 15], 0xFFFFFFFFu);
}

// Unsupported values are refused, and so are draws that would read beyond the caller's
// vertices: a stride shorter than the format, an index past the vertex count.
TEST_F(GlTest, RejectsUnsupportedStateAndOutOfRangeDraws) {
    EXPECT_EQ(System::Create(nullptr), nullptr);
    EXPECT_EQ(device_->SetRenderState(RenderState::SrcBlend, 42), kErrInvalidCall);
    EXPECT_EQ(device_->SetSamplerState(1, SamplerState::MinFilter, FilterLinear), kErrInvalidCall);
    EXPECT_EQ(device_->SetFvf(0x1234), kErrInvalidCall);
    EXPECT_EQ(device_->SetFvf(FvfXyzRhw | FvfDiffuse), kOk);
    const RhwColour three[3] = {};
    EXPECT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleFan, 0, three, sizeof(RhwColour)), kOk);
    EXPECT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleStrip, 1, three, 8), kErrInvalidCall);
    const uint16_t badIndices[3] = {0, 1, 7};
    EXPECT_EQ(device_->DrawIndexedPrimitiveUp(Primitive::TriangleList, 0, 3, 1, badIndices, three,
                                              sizeof(RhwColour)),
              kErrInvalidCall);
    EXPECT_EQ(device_->BeginScene(), kOk);
    EXPECT_EQ(device_->BeginScene(), kErrInvalidCall);
    EXPECT_EQ(device_->EndScene(), kOk);
    EXPECT_EQ(device_->EndScene(), kErrInvalidCall);
}

// World, view and projection combine as row-vector products, world first.
TEST_F(GlTest, FixedFunctionTransformsApplyWorldThenViewThenProjection) {
    struct XyzColour {
        float x, y, z;
        uint32_t colour;
    };
    const XyzColour quad[4] = {{-1, -1, 0.5f, 0xFF00FF00},
                               {-1, 1, 0.5f, 0xFF00FF00},
                               {1, -1, 0.5f, 0xFF00FF00},
                               {1, 1, 0.5f, 0xFF00FF00}};
    Matrix halfWidth = MatrixIdentity();
    halfWidth.m[0][0] = 0.5f;
    Matrix right = MatrixIdentity();
    right.m[3][0] = 0.5f;
    ASSERT_EQ(device_->SetTransform(TransformKind::World, halfWidth), kOk);
    ASSERT_EQ(device_->SetTransform(TransformKind::View, right), kOk);
    ASSERT_EQ(device_->SetRenderState(RenderState::CullMode, CullNone), kOk);
    ASSERT_EQ(device_->SetFvf(FvfXyz | FvfDiffuse), kOk);
    ASSERT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleStrip, 2, quad, sizeof(XyzColour)), kOk);
    const auto pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[300 * 1024 + 511], 0xFF000000u);
    EXPECT_EQ(pixels[300 * 1024 + 512], 0xFF00FF00u);
    EXPECT_EQ(pixels[300 * 1024 + 1023], 0xFF00FF00u);
    Matrix view;
    ASSERT_EQ(device_->GetTransform(TransformKind::View, view), kOk);
    EXPECT_EQ(view.m[3][0], 0.5f);
}

// Clockwise on screen is the front: the default culling drops counter-clockwise triangles.
TEST_F(GlTest, CullingKeepsClockwiseScreenTriangles) {
    const RhwColour clockwise[3] = {{-0.5f, -0.5f, 0, 1, 0xFFFF0000},
                                    {9.5f, -0.5f, 0, 1, 0xFFFF0000},
                                    {-0.5f, 9.5f, 0, 1, 0xFFFF0000}};
    const RhwColour counter[3] = {{19.5f, -0.5f, 0, 1, 0xFFFF0000},
                                  {19.5f, 9.5f, 0, 1, 0xFFFF0000},
                                  {29.5f, -0.5f, 0, 1, 0xFFFF0000}};
    ASSERT_EQ(device_->SetFvf(FvfXyzRhw | FvfDiffuse), kOk);
    ASSERT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleList, 1, clockwise, sizeof(RhwColour)),
              kOk);
    ASSERT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleList, 1, counter, sizeof(RhwColour)),
              kOk);
    auto pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[2 * 1024 + 2], 0xFFFF0000u);
    EXPECT_EQ(pixels[2 * 1024 + 22], 0xFF000000u);
    ASSERT_EQ(device_->SetRenderState(RenderState::CullMode, CullCw), kOk);
    ASSERT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleList, 1, counter, sizeof(RhwColour)),
              kOk);
    pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[2 * 1024 + 22], 0xFFFF0000u);
}

// While the window's drawable is the back buffer's size the frame is drawn straight into the
// window, at any other size into a render target that the present scales into the window.
// Either way the back buffer starts black, reads top row first, draws the same pixels (edges,
// culling and clipped text included) and copies texel for texel to a target and back.
TEST_F(GlTest, BackBufferInTheWindowOrInATargetDrawsTheSamePixels) {
    const std::vector<uint32_t> pattern = gfxtest::Pattern(512 * 512);
    auto texture = MakeTexture(512, 512, pattern);
    std::shared_ptr<Font> font;
    ASSERT_EQ(device_->CreateFont(FontDesc(), font), kOk);
    const RhwColour counter[3] = {{19.5f, -0.5f, 0, 1, 0xFFFF0000},
                                  {19.5f, 9.5f, 0, 1, 0xFFFF0000},
                                  {29.5f, -0.5f, 0, 1, 0xFFFF0000}};
    std::vector<std::vector<uint32_t>> frames;
    for (const int width : {1024, 800, 1024}) {
        SCOPED_TRACE(width);
        SDL_SetWindowSize(static_cast<SDL_Window*>(window_), width, width * 3 / 4);
        ASSERT_EQ(device_->BeginScene(), kOk);
        EXPECT_EQ(device_->BackBuffer()->GetTexture()->Data().window, width == 1024);
        if (frames.empty()) {
            const auto fresh = ReadBackBuffer();
            EXPECT_EQ(std::count(fresh.begin(), fresh.end(), 0xFF000000u), 1024 * 768);
        }
        ASSERT_EQ(device_->Clear(0xFF102030), kOk);
        ASSERT_EQ(device_->SetRenderState(RenderState::CullMode, CullNone), kOk);
        DrawScreenTexture(*device_, texture, 512, 512);
        ASSERT_EQ(device_->SetTexture(0, nullptr), kOk);
        ASSERT_EQ(device_->SetRenderState(RenderState::CullMode, CullCw), kOk);
        ASSERT_EQ(device_->SetFvf(FvfXyzRhw | FvfDiffuse), kOk);
        ASSERT_EQ(device_->DrawPrimitiveUp(Primitive::TriangleList, 1, counter, sizeof(RhwColour)),
                  kOk);
        ASSERT_EQ(font->DrawText("Clipped text", -1, {600, 700, 650, 708}, TextLeft, 0xFFFFFFFF),
                  kOk);
        ASSERT_EQ(device_->EndScene(), kOk);
        frames.push_back(ReadBackBuffer());

        std::shared_ptr<Texture> copy;
        const std::shared_ptr<Surface> target = Target(copy);
        ASSERT_EQ(device_->StretchRect(*device_->BackBuffer(), *target), kOk);
        std::vector<uint32_t> copied;
        ASSERT_EQ(device_->ReadRenderTarget(*target, copied), kOk);
        EXPECT_EQ(copied, frames.back());
        ASSERT_EQ(device_->Clear(0xFF000000), kOk);
        ASSERT_EQ(device_->StretchRect(*target, *device_->BackBuffer()), kOk);
        EXPECT_EQ(ReadBackBuffer(), frames.back());
        ASSERT_EQ(device_->Present(), kOk);
    }
    EXPECT_EQ(frames[0][1], pattern[1]);
    EXPECT_EQ(frames[0][511 * 1024 + 511], pattern[511 * 512 + 511]);
    EXPECT_EQ(frames[0][512 * 1024 + 512], 0xFF102030u);
    EXPECT_EQ(frames[0][2 * 1024 + 22], 0xFFFF0000u);
    EXPECT_EQ(frames[1], frames[0]);
    EXPECT_EQ(frames[2], frames[0]);
    std::shared_ptr<Texture> small;
    ASSERT_EQ(device_->CreateTexture(64, 64, 1, UsageRenderTarget, Format::X8R8G8B8, Pool::Default,
                                     small),
              kOk);
    std::shared_ptr<Surface> smallSurface;
    ASSERT_EQ(small->GetSurfaceLevel(0, smallSurface), kOk);
    EXPECT_EQ(device_->StretchRect(*smallSurface, *device_->BackBuffer()), kErrInvalidCall);
}

TEST_F(GlTest, DynamicTextureLocksAndUploads) {
    std::shared_ptr<Texture> video;
    ASSERT_EQ(
        device_->CreateTexture(640, 480, 1, UsageDynamic, Format::X8R8G8B8, Pool::Default, video),
        kOk);
    std::shared_ptr<Surface> surface;
    ASSERT_EQ(video->GetSurfaceLevel(0, surface), kOk);
    LockedRect locked;
    ASSERT_EQ(surface->LockRect(locked, nullptr, LockDiscard), kOk);
    EXPECT_EQ(surface->LockRect(locked, nullptr, LockDiscard), kErrInvalidCall);
    auto* row = static_cast<uint8_t*>(locked.bits) + 2 * locked.pitch;
    reinterpret_cast<uint32_t*>(row)[3] = 0xFF102030;
    ASSERT_EQ(surface->UnlockRect(), kOk);
    // A render target is not lockable; a dynamic surface is no render target.
    EXPECT_EQ(device_->SetRenderTarget(0, surface), kErrInvalidCall);
    EXPECT_EQ(device_->BackBuffer()->LockRect(locked, nullptr, 0), kErrInvalidCall);

    DrawScreenTexture(*device_, video, 640, 480);
    const auto pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[2 * 1024 + 3], 0xFF102030u);
    EXPECT_EQ(pixels[2 * 1024 + 4], 0xFF000000u);
}

// File textures round up to powers of two and have one level; a cube file loads only as a
// cube, a flat one only as a flat texture, and either binds only to an effect parameter of
// its kind.
TEST_F(GlTest, FileTexturesRoundToPowersOfTwoAndRejectBadData) {
    auto texture = MakeTexture(480, 48, std::vector<uint32_t>(480 * 48, 0xFF808080));
    SurfaceDesc desc;
    ASSERT_EQ(texture->GetLevelDesc(0, desc), kOk);
    EXPECT_EQ(desc.width * 1000 + desc.height, 512064u);
    EXPECT_EQ(desc.format, Format::A8R8G8B8);
    EXPECT_EQ(texture->LevelCount(), 1u);
    std::shared_ptr<Texture> none;
    const std::string junk = "not an image";
    EXPECT_EQ(device_->CreateTextureFromFileInMemory(junk.data(), junk.size(), none),
              kErrInvalidData);
    std::shared_ptr<CubeTexture> cube;
    const std::string flat = gfxtest::MakeArgbDds(4, 4, std::vector<uint32_t>(16));
    EXPECT_EQ(device_->CreateCubeTextureFromFileInMemory(flat.data(), flat.size(), cube),
              kErrInvalidData);
    const std::string cubeFile = gfxtest::MakeDds(2, 2, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF,
                                                  0xFF000000u, std::string(6 * 16, '\x40'), 0xFE00);
    EXPECT_EQ(device_->CreateTextureFromFileInMemory(cubeFile.data(), cubeFile.size(), none),
              kErrInvalidData);
    ASSERT_EQ(device_->CreateCubeTextureFromFileInMemory(cubeFile.data(), cubeFile.size(), cube),
              kOk);
    const char* text = "@effect 1\n@param texturecube Sky\n@param texture2d Flat\n@technique T\n"
                       "@pass\n@vertex\nvec4 VSMain() { return vec4(0.0); }\n@fragment\n"
                       "vec4 PSMain() { return texture(Sky, vec3(1.0)) + texture(Flat, "
                       "vec2(0.0)); }\n";
    std::shared_ptr<Effect> effect;
    std::string errors;
    ASSERT_EQ(device_->CreateEffect(text, std::strlen(text), effect, &errors), kOk) << errors;
    EXPECT_EQ(effect->SetTexture("Sky", texture), kErrInvalidCall);
    EXPECT_EQ(effect->SetTexture("Flat", cube), kErrInvalidCall);
    EXPECT_EQ(effect->SetTexture("Sky", cube), kOk);
    EXPECT_EQ(effect->SetTexture("Flat", texture), kOk);
}

} // namespace
