#include "Game/DirectX.h"

#include "Game/Check.h"
#include "Game/ComError.h"
#include "Game/Exception.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"
#include "Platform/Audio/Device.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Font.h"
#include "Platform/Gfx/Sprite.h"
#include "Platform/Gfx/System.h"
#include "Platform/Input/DirectInput.h"

#include <array>
#include <cassert>

DirectX* g_dx = nullptr;

DirectX& dx() {
    assert(g_dx != nullptr);
    return *g_dx;
}

namespace {

constexpr char kWhere[] = ".\\Game\\DirectX";

// Sound cooperative level: exclusive.
constexpr std::uint32_t kExclusive = 3;

// The primary buffer's format: PCM, 2 channels, 44100 samples per second, 176400 bytes per
// second, block alignment 4, 16 bits, no extra bytes; as the 18-byte little-endian record.
constexpr std::array<std::uint8_t, 18> kPrimaryFormat = {
    0x01, 0x00,             // PCM
    0x02, 0x00,             // channels
    0x44, 0xAC, 0x00, 0x00, // 44100 samples per second
    0x10, 0xB1, 0x02, 0x00, // 176400 bytes per second
    0x04, 0x00,             // block alignment
    0x10, 0x00,             // bits per sample
    0x00, 0x00,             // extra bytes
};

Gfx::PresentParams PresentParameters(Gfx::Format desktopFormat, bool windowed) {
    Gfx::PresentParams params;
    params.backBufferWidth = EngineWnd::kWidth;
    params.backBufferHeight = EngineWnd::kHeight;
    params.backBufferFormat = desktopFormat;
    params.backBufferCount = 3;
    params.windowed = windowed;
    params.enableAutoDepthStencil = false;
    params.presentationInterval = 1;
    return params;
}

template <typename T>
std::shared_ptr<T> NewReference(const std::shared_ptr<T>& member) {
    if (member == nullptr) {
        throw ComError(ComError::kPointer);
    }
    return member;
}

} // namespace

std::uint32_t PrimaryBufferFlags(std::int32_t mixerPlacement) {
    std::uint32_t flags = Audio::Caps::Primary | Audio::Caps::Ctrl3D;
    if (mixerPlacement == Opts::kPlacementSoft) {
        flags |= Audio::Caps::LocHardware;
    } else if (mixerPlacement == Opts::kPlacementHard) {
        flags |= Audio::Caps::LocSoftware;
    }
    return flags;
}

DirectX::DirectX() {
    Init();
}

DirectX::~DirectX() {
    GfxLink::Withdraw();
    font_.reset();
    sprite_.reset();
    device_.reset();
    buffer_.reset();
    dsound_.reset();
    dinput_.reset();
    d3d_.reset();
    // The window goes last, with the member itself.
}

void DirectX::Init() {
    // The window ("CreateWindow" is logged by the window itself). The graphics layer sets
    // the pixel format its context needs before the window exists.
    caps_ = Behaviour{};
    const int created = wnd_.Create(opts().windowed_, &Gfx::System::PrepareWindow);
    if (created == EngineWnd::kNoDisplay) {
        // Nothing to show the game on: the run ends at once rather than play unseen.
        throw exception("Cannot open a window: " + wnd_.ErrorText());
    }
    CheckResult(created, kWhere, "wnd_.Create ( 0, CRect ( 0, 0, 1024, 768 ) )",
                wnd_.ErrorText().c_str());

    // The graphics system on the window.
    if (const Platform::NativeWindow* native = wnd_.Native()) {
        d3d_ = Gfx::System::Create(*native);
    }
    Assert(d3d_ != nullptr, kWhere, "d3d_", "Direct3D not initialized");

    // Capabilities and the behaviour flags they decide.
    Gfx::Caps caps;
    CheckResult(d3d_->GetDeviceCaps(caps), kWhere,
                "d3d_->GetDeviceCaps ( 0, D3DDEVTYPE_HAL, &caps )", "Cannot get device caps");
    Assert(caps.pixelShaderMajor >= 2, kWhere,
           "D3DSHADER_VERSION_MAJOR ( caps.PixelShaderVersion ) >= 2",
           "Device does not support pixel shaders version 2.0");
    if (caps.hardwareTransformAndLight) {
        caps_.vertexProcessing = Gfx::BehaviourHardwareVertexProcessing;
    }
    // The preload worker creates textures while the interface thread draws.
    if (!opts().nomultithread_) {
        caps_.multithreading = Gfx::BehaviourMultithreaded;
    }

    // The device, on a back buffer in the desktop's format.
    Gfx::DisplayMode mode;
    CheckResult(d3d_->GetAdapterDisplayMode(mode), kWhere,
                "d3d_->GetAdapterDisplayMode ( 0, &mode )");
    d3dpp_ = PresentParameters(mode.format, opts().windowed_);
    CheckResult(d3d_->CreateDevice(caps_.vertexProcessing | caps_.multithreading, d3dpp_, device_),
                kWhere,
                "d3d_->CreateDevice ( 0, D3DDEVTYPE_HAL, wnd_, caps_.vertexProcessing | "
                "caps_.multithreading, &d3dpp_, &device_ )");

    // The 2-D drawing objects: the sprite and the 16-pixel fixed-pitch "Courier New".
    CheckResult(device_->CreateSprite(sprite_), kWhere, "::D3DXCreateSprite ( device_, &sprite_ )");
    Gfx::FontDesc font;
    font.height = 16;
    font.width = 0;
    font.weight = 400;
    font.mipLevels = 1;
    font.italic = false;
    font.charSet = 1;
    font.outputPrecision = 0;
    font.quality = 0;
    font.pitchAndFamily = 1;
    font.face = "Courier New";
    CheckResult(device_->CreateFont(font, font_), kWhere,
                "::D3DXCreateFontA ( device_, 16, 0, 400, 1, 0, 1, 0, 0, 1, \"Courier New\", "
                "&font_ )");
    // The texture manager, the effects and the scenes draw with these.
    GfxLink::Publish(device_, sprite_, font_);

    // Input: the system takes its events from this thread's message loop. Its creation
    // cannot fail.
    dinput_ = std::make_shared<Input::DirectInput>();

    // Sound: the default output, exclusive, with its primary buffer playing (silence until
    // a sound plays) in the output format.
    std::unique_ptr<Audio::Device> sound;
    CheckResult(Audio::Device::Create(Audio::Device::Options{}, &sound), kWhere,
                "::DirectSoundCreate8 ( &DSDEVID_DefaultPlayback, &dsound_, 0 )");
    dsound_ = std::move(sound);
    CheckResult(dsound_->SetCooperativeLevel(wnd_.Native(), kExclusive), kWhere,
                "dsound_->SetCooperativeLevel ( wnd_, 3 )");
    CheckResult(dsound_->CreatePrimaryBuffer(PrimaryBufferFlags(opts().soundMixer_)), kWhere,
                "dsound_->CreateSoundBuffer ( &dsbd, &buffer_, 0 )");
    buffer_ = dsound_;
    CheckResult(buffer_->SetPrimaryFormat(kPrimaryFormat), kWhere, "buffer_->SetFormat ( &wfx )");
    CheckResult(buffer_->PlayPrimary(Audio::PlayLooping), kWhere, "buffer_->Play ( 0, 0, 1 )");
}

std::shared_ptr<Gfx::Device> DirectX::device() const {
    return NewReference(device_);
}

std::shared_ptr<Gfx::Sprite> DirectX::sprite() const {
    return NewReference(sprite_);
}

std::shared_ptr<Gfx::Font> DirectX::font() const {
    return NewReference(font_);
}

std::shared_ptr<Input::DirectInput> DirectX::dinput() const {
    return NewReference(dinput_);
}

std::shared_ptr<Audio::Device> DirectX::sound() const {
    return NewReference(dsound_);
}
