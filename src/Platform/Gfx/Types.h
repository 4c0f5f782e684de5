#pragma once

#include <cstdint>
#include <string>

// Results, enumerations and plain records of the graphics layer. The numeric values are the
// ones of the Windows graphics interface the game code was written against, so log lines and
// constants in the game code read the same ("HRESULT: -2005530516").
namespace Gfx {

// Every operation that can fail answers one of these; 0 is success, there is no positive code.
enum : int {
    kOk = 0,
    kErrInvalidCall = -2005530516,      // 0x8876086C
    kErrDeviceLost = -2005530520,       // 0x88760868
    kErrDeviceNotReset = -2005530519,   // 0x88760869
    kErrNotAvailable = -2005530518,     // 0x8876086A
    kErrOutOfVideoMemory = -2005532292, // 0x8876017C
    kErrInvalidData = -2005529767,      // 0x88760B59
    kErrFail = -2147467259,             // 0x80004005
    kErrOutOfMemory = -2147024882,      // 0x8007000E
};

enum class Format : uint32_t {
    Unknown = 0,
    R8G8B8 = 20,
    A8R8G8B8 = 21,
    X8R8G8B8 = 22,
    R5G6B5 = 23,
    X1R5G5B5 = 24,
    A1R5G5B5 = 25,
    A4R4G4B4 = 26,
    A8 = 28,
    X4R4G4B4 = 30,
    A8B8G8R8 = 32,
    X8B8G8R8 = 33,
    L8 = 50,
    A8L8 = 51,
    // Block-compressed formats, by their four-character codes.
    Dxt1 = 0x31545844,
    Dxt3 = 0x33545844,
    Dxt5 = 0x35545844,
};
enum class Pool : uint32_t { Default = 0, Managed = 1 };
enum Usage : uint32_t { UsageNone = 0, UsageRenderTarget = 0x1, UsageDynamic = 0x200 };
enum LockFlags : uint32_t { LockDiscard = 0x2000 };
enum class TransformKind : uint32_t { View = 2, Projection = 3, World = 256 };
enum class Primitive : uint32_t {
    LineList = 2,
    TriangleList = 4,
    TriangleStrip = 5,
    TriangleFan = 6
};
enum Fvf : uint32_t {
    FvfXyz = 0x002,
    FvfXyzRhw = 0x004,
    FvfNormal = 0x010,
    FvfDiffuse = 0x040,
    FvfTex1 = 0x100,
    FvfXyzw = 0x4002,
};
enum class RenderState : uint32_t {
    ZEnable = 7,
    ZWriteEnable = 14,
    SrcBlend = 19,
    DestBlend = 20,
    CullMode = 22,
    AlphaBlendEnable = 27,
    Lighting = 137,
};
enum Blend : uint32_t {
    BlendZero = 1,
    BlendOne,
    BlendSrcColor,
    BlendInvSrcColor,
    BlendSrcAlpha,
    BlendInvSrcAlpha,
    BlendDestAlpha,
    BlendInvDestAlpha,
    BlendDestColor,
    BlendInvDestColor,
};
enum Cull : uint32_t { CullNone = 1, CullCw = 2, CullCcw = 3 };
enum class SamplerState : uint32_t {
    AddressU = 1,
    AddressV = 2,
    AddressW = 3,
    MagFilter = 5,
    MinFilter = 6,
    MipFilter = 7,
};
enum Address : uint32_t { AddressWrap = 1, AddressMirror = 2, AddressClamp = 3 };
enum Filter : uint32_t { FilterNone = 0, FilterPoint = 1, FilterLinear = 2 };
enum class StageState : uint32_t {
    ColorOp = 1,
    ColorArg1 = 2,
    ColorArg2 = 3,
    AlphaOp = 4,
    AlphaArg1 = 5,
    AlphaArg2 = 6,
};
enum TexOp : uint32_t { OpDisable = 1, OpSelectArg1 = 2, OpSelectArg2 = 3, OpModulate = 4 };
enum TexArg : uint32_t { ArgDiffuse = 0, ArgCurrent = 1, ArgTexture = 2 };
enum SpriteFlags : uint32_t { SpriteAlphaBlend = 0x10 };
enum TextFormat : uint32_t {
    TextTop = 0,
    TextLeft = 0,
    TextCenter = 0x1,
    TextRight = 0x2,
    TextVCenter = 0x4,
    TextBottom = 0x8,
    TextNoClip = 0x100,
};
enum Behaviour : uint32_t {
    BehaviourMultithreaded = 0x4,
    BehaviourSoftwareVertexProcessing = 0x20,
    BehaviourHardwareVertexProcessing = 0x40,
};

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
// Rows of a picture from a file that are never sampled: a picture of exactly width x height
// texels (after rounding to powers of two) is made from its top `rows` rows alone. All zero: the
// whole picture.
struct SampledRows {
    uint32_t width = 0, height = 0;
    uint32_t rows = 0;
};
struct SurfaceDesc {
    Format format = Format::Unknown;
    uint32_t usage = UsageNone;
    Pool pool = Pool::Default;
    uint32_t width = 0, height = 0;
};
// A locked surface: `pitch` bytes between rows of 32-bit 0xAARRGGBB texels; width and height
// tell the writer where to clip.
struct LockedRect {
    int32_t pitch = 0;
    void* bits = nullptr;
    uint32_t width = 0, height = 0;
};
struct Caps {
    uint32_t pixelShaderMajor = 0, pixelShaderMinor = 0;
    bool hardwareTransformAndLight = false;
};
struct DisplayMode {
    uint32_t width = 0, height = 0, refreshRate = 0;
    Format format = Format::Unknown;
};
// The present parameters, kept by the device's owner for resets.
struct PresentParams {
    uint32_t backBufferWidth = 1024, backBufferHeight = 768;
    Format backBufferFormat = Format::X8R8G8B8;
    uint32_t backBufferCount = 3;
    bool windowed = false;
    bool enableAutoDepthStencil = false;
    uint32_t presentationInterval = 1; // 1: wait for one vertical blank per present
};

// The font request: a 16-pixel "Courier New" in the game.
struct FontDesc {
    int height = 16;
    uint32_t width = 0, weight = 400, mipLevels = 1;
    bool italic = false;
    uint32_t charSet = 1, outputPrecision = 0, quality = 0, pitchAndFamily = 1;
    std::string face = "Courier New";
};

} // namespace Gfx
