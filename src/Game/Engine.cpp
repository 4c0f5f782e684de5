#include "Game/Engine.h"

#include "Effects/Effects.h"
#include "Game/Check.h"
#include "Game/DirectX.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Keyboard.h"
#include "Game/Log.h"
#include "Game/Mouse.h"
#include "Game/Opts.h"
#include "Game/TexMgr.h"
#include "Platform/Clock/Clock.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Effect.h"
#include "Platform/Gfx/Font.h"
#include "Platform/Gfx/Sprite.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Texture.h"
#include "Platform/Input/DirectInput.h"
#include "States/Base.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace {

constexpr const char* kWhere = ".\\Game\\Engine";
// Preloaded textures uploaded after each present once the preload is done: an upload costs
// the software rasteriser about as much as a frame, so the loading screen draws alone while the
// worker decodes, and the move to the part's start screen hands them over one a frame, which
// keeps each of those frames within a refresh or two of the others.
constexpr unsigned kUploadsPerFrame = 1;

std::shared_ptr<State::Base> CurrentState() {
    return game().map_.CurrentState();
}

} // namespace

Engine::Engine() {
    LogWrite("Initializing DirectX");
    InitDirectX();
    LogWrite("Initializing game data");
    // The definition's load ends by loading the autoload part: its loading screen becomes
    // current and starts the preload.
    game().Load();
}

Engine::~Engine() {
    LogWrite("Deinitializing game data");
}

void Engine::InitDirectX() {
    std::shared_ptr<Input::DirectInput> dinput = dx().dinput();
    mouse_ = std::make_shared<Mouse>(*dinput);
    keyboard_ = std::make_shared<Keyboard>(*dinput);
    OnResetDevice();
}

bool Engine::OnIdle() {
    if (!CheckDevice()) {
        return false;
    }
    // Every mouse record before any key, and the keyboard's batch to whatever state the
    // mouse's batches left current.
    mouse_->Update(CurrentState);
    keyboard_->Update(CurrentState);
    Render();
    return false;
}

bool Engine::CheckDevice() {
    Gfx::Device& device = GfxLink::Device();
    const int result = device.TestCooperativeLevel();
    if (result == Gfx::kErrDeviceLost) {
        return false;
    }
    if (result == Gfx::kErrDeviceNotReset) {
        LogWrite("Device not reset");
        OnLostDevice();
        // A failed reset shows in the second test: the frame is skipped and the next one
        // tries again.
        if (const int reset = device.Reset(dx().d3dpp()); reset != Gfx::kOk) {
            LogFormat("Device reset failed: HRESULT: %1%", reset);
        }
    }
    if (device.TestCooperativeLevel() != Gfx::kOk) {
        return false;
    }
    OnResetDevice();
    return true;
}

void Engine::OnLostDevice() {
    effects().OnLostDevice();
    CheckResult(GfxLink::Sprite().OnLostDevice(), kWhere, "dx().sprite()->OnLostDevice()");
    CheckResult(GfxLink::Font().OnLostDevice(), kWhere, "dx().font()->OnLostDevice()");
    scSurf_.reset();
    scTex_.reset();
    lost_ = true;
}

void Engine::OnResetDevice() {
    Gfx::Device& device = GfxLink::Device();
    CheckResult(device.SetRenderState(Gfx::RenderState::CullMode, Gfx::CullNone), kWhere,
                "device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE)");
    // The screen texture and the effects' targets live from one reset to the next loss, so
    // a frame of a usable device allocates nothing; each frame still redraws all of them.
    if (lost_) {
        CheckResult(device.CreateTexture(kWidth, kHeight, 1, Gfx::UsageRenderTarget,
                                         Gfx::Format::X8R8G8B8, Gfx::Pool::Default, scTex_),
                    kWhere,
                    "D3DXCreateTexture(device, 1024, 768, 1, D3DUSAGE_RENDERTARGET, "
                    "D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &scTex_)");
        CheckResult(scTex_->GetSurfaceLevel(0, scSurf_), kWhere,
                    "scTex_->GetSurfaceLevel(0, &scSurf_)");
        effects().OnResetDevice();
        effects().blur_.SetSource(scTex_);
        effects().bloom_.SetSource(scTex_);
        lost_ = false;
    }
    CheckResult(GfxLink::Sprite().OnResetDevice(), kWhere, "dx().sprite()->OnResetDevice()");
    CheckResult(GfxLink::Font().OnResetDevice(), kWhere, "dx().font()->OnResetDevice()");
}

void Engine::Stage(const char* name) {
    if (observer_) {
        observer_(name);
    }
}

void Engine::Render() {
    const std::int64_t start = Clock::Counter();
    Gfx::Device& device = GfxLink::Device();

    Stage("Render");
    game().UpdateClock();
    const float now = game().Time();
    // Held for the whole frame: a script of this frame that moves leaves it valid.
    const std::shared_ptr<State::Base> state = CurrentState();
    Assert(state != nullptr, kWhere, "state != 0", "No state assigned");
    effects().bloom_.drawn_ = false;
    CheckResult(device.BeginScene(), kWhere, "device->BeginScene()");
    std::shared_ptr<Gfx::Surface> backBuffer;
    CheckResult(device.GetRenderTarget(0, backBuffer), kWhere,
                "device->GetRenderTarget(0, &oldSurf)");
    // When the final pass would copy the screen picture unchanged, the state draws straight
    // into the back buffer and the final pass is left out.
    bool straight = state->CoversScreen() && FinalPassIsCopy();
    if (!straight) {
        CheckResult(device.SetRenderTarget(0, scSurf_), kWhere,
                    "device->SetRenderTarget(0, scSurf_)");
    }

    Stage("State");
    state->Tick();
    CheckResult(device.SetRenderState(Gfx::RenderState::SrcBlend, Gfx::BlendSrcAlpha), kWhere,
                "device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA)");
    CheckResult(device.SetRenderState(Gfx::RenderState::DestBlend, Gfx::BlendInvSrcAlpha), kWhere,
                "device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA)");
    // A script of the tick may have changed the look: the picture then goes the whole way.
    if (straight && !FinalPassIsCopy()) {
        straight = false;
        CheckResult(device.StretchRect(*backBuffer, *scSurf_), kWhere,
                    "device->StretchRect(oldSurf, NULL, scSurf_, NULL, D3DTEXF_NONE)");
        CheckResult(device.SetRenderTarget(0, scSurf_), kWhere,
                    "device->SetRenderTarget(0, scSurf_)");
    }

    Stage("Mask");
    if (game().mask_) {
        RenderMask();
    }

    Stage("Effect");
    const std::shared_ptr<Gfx::Texture> blended = RenderFilm(scTex_);
    CheckResult(device.SetRenderTarget(0, backBuffer), kWhere,
                "device->SetRenderTarget(0, oldSurf)");

    Stage("Full");
    if (!straight) {
        RenderFull(blended, now);
    }

    Stage("Toppings");
    RenderToppings(*state, now);

    Stage("Subtitles");
    DrawSubtitles();

    Stage("Debug");
    if (opts().info_) {
        DrawDebug(*state);
    }
    if (opts().console_) {
        DrawConsole();
    }

    Stage("Present");
    CheckResult(device.EndScene(), kWhere, "device->EndScene()");
    CheckResult(device.Present(), kWhere, "device->Present(NULL, NULL, NULL, NULL)");
    if (!game().map_.Preloading()) {
        GetTexMgr().UploadQueued(kUploadsPerFrame);
    }

    Stage("Sound");
    game().sound_.Update(game().Time());

    Stage("Map");
    game().map_.Update();

    rate_ = FrameRate(Clock::CounterFrequency(), start, Clock::Counter());
}

void Engine::RenderMask() {
    Gfx::Device& device = GfxLink::Device();
    CheckResult(device.SetRenderState(Gfx::RenderState::AlphaBlendEnable, 1), kWhere,
                "device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE)");
    Effect::FullScreen& mask = effects().mask_;
    CheckResult(mask.effect()->SetTexture("MaskTex", SimpleOnce(maskPath_, maskMissing_)), kWhere,
                "effects().mask_.effect()->SetTexture(\"MaskTex\", tex)");
    Effect::FullScreen::Apply(mask);
    CheckResult(device.SetRenderState(Gfx::RenderState::AlphaBlendEnable, 0), kWhere,
                "device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE)");
}

std::shared_ptr<Gfx::Texture> Engine::RenderFilm(std::shared_ptr<Gfx::Texture> texture) {
    CheckResult(effects().oldcinema_.effect()->SetTechnique("clean"), kWhere,
                "effects().oldcinema_.effect()->SetTechnique(\"clean\")");
    if (game().CurrentEffect() == "cinema") {
        RenderCinema(texture);
    }
    return texture;
}

void Engine::RenderCinema(std::shared_ptr<Gfx::Texture>& texture) {
    Gfx::Sprite& sprite = GfxLink::Sprite();
    CheckResult(sprite.Begin(Gfx::SpriteAlphaBlend), kWhere,
                "dx().sprite()->Begin(D3DXSPRITE_ALPHABLEND)");
    effects().dirt_.Render();
    effects().lines_.RunPasses();
    CheckResult(sprite.End(), kWhere, "dx().sprite()->End()");
    if (!opts().light_) {
        Effect::FullScreen::Apply(effects().blur_);
        texture = effects().blur_.TargetB();
    }
    CheckResult(effects().oldcinema_.effect()->SetTechnique("cinema"), kWhere,
                "effects().oldcinema_.effect()->SetTechnique(\"cinema\")");
}

bool Engine::FinalPassIsCopy() {
    // The plain look's grading with every parameter at rest is the identity.
    return game().CurrentEffect() != "cinema" && !game().mask_ && game().exposure_ == 0.0f &&
           game().cachet_ == 0.0f && game().HdrLevel() == 0.0f &&
           FullWeight(opts().brightness_) == 1.0f && effects().oldcinema_.effect()->Opaque("clean");
}

void Engine::RenderFull(const std::shared_ptr<Gfx::Texture>& texture, float now) {
    const std::shared_ptr<Gfx::Effect> effect = effects().oldcinema_.effect();
    // An opaque pass overwrites every pixel: a clear before it would change none.
    if (!effect->Opaque(effect->CurrentTechnique())) {
        CheckResult(GfxLink::Device().Clear(0xFF000000), kWhere,
                    "device->Clear(0, NULL, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0)");
    }
    const auto setTexture = [&](const char* name, const std::shared_ptr<Gfx::Texture>& tex) {
        CheckResult(effect->SetTexture(name, tex), kWhere, "effect->SetTexture(name, tex)", name);
    };
    const auto setFloat = [&](const char* name, float value) {
        CheckResult(effect->SetFloat(name, value), kWhere, "effect->SetFloat(name, value)", name);
    };
    setTexture("ScreenTex", scTex_);
    setTexture("BlurTex", texture);
    setTexture("NoiseTex", SimpleOnce(noisePath_, noiseMissing_));
    setTexture("CloudTex", SimpleOnce(cloudsPath_, cloudsMissing_));
    setTexture("BlurMaskTex", SimpleOnce(blurMaskPath_, blurMaskMissing_));
    setFloat("Time", now);
    setFloat("Exposure", game().exposure_);
    setFloat("Gamma", FullWeight(opts().brightness_));
    setFloat("Cachet", game().cachet_);
    setFloat("HDR", game().HdrLevel());
    Effect::FullScreen::Apply(effects().oldcinema_);
}

void Engine::RenderToppings(State::Base& state, float now) {
    if (state.ShowInventory()) {
        game().inventory_.Render(now);
    }
    Gfx::Sprite& sprite = GfxLink::Sprite();
    CheckResult(sprite.Begin(Gfx::SpriteAlphaBlend), kWhere,
                "dx().sprite()->Begin(D3DXSPRITE_ALPHABLEND)");
    if (state.ShowCursor()) {
        game().cursor_.Draw();
    }
    CheckResult(sprite.End(), kWhere, "dx().sprite()->End()");
}

void Engine::DrawText(const std::string& text, int left, int top, int right, int bottom,
                      std::uint32_t format, const char* what) {
    const Gfx::Rect rect{left, top, right, bottom};
    CheckResult(GfxLink::Font().DrawText(text, -1, rect, format, kTextColour), kWhere, what);
}

void Engine::DrawSubtitles() {
    const std::string& text = game().subtitle_;
    if (!text.empty()) {
        DrawText(text, 0, 700, 1024, 768, Gfx::TextCenter | Gfx::TextNoClip,
                 "dx().font()->DrawText(NULL, subtitle, -1, &rc, DT_CENTER | DT_NOCLIP, color)");
    }
}

void Engine::DrawDebug(const State::Base& state) {
    std::ostringstream text;
    text << "Korvantine v1.0 Beta\n"
         << state.Name() << "\n"
         << "FPS: " << rate_ << "\n"
         << "Game time:" << game().GameTime() << "\n"
         << game().info_;
    DrawText(text.str(), 0, 0, 100, 100, Gfx::TextLeft | Gfx::TextNoClip,
             "dx().font()->DrawText(NULL, info, -1, &rc, DT_NOCLIP, color)");
}

void Engine::DrawConsole() {
    DrawText(Log::Instance().Lines(), 512, 0, 1020, 760, Gfx::TextRight | Gfx::TextNoClip,
             "dx().font()->DrawText(NULL, console, -1, &rc, DT_RIGHT | DT_NOCLIP, color)");
}

float Engine::FullWeight(float brightness) {
    // A brightness that is not a number (a damaged options file) counts as the default.
    const float x = std::isnan(brightness) ? 0.5f : std::clamp(brightness, 0.0f, 1.0f);
    return 1.0f / (1.6f * x + 0.2f);
}

std::int32_t Engine::FrameRate(std::int64_t frequency, std::int64_t start, std::int64_t end) {
    if (end <= start) {
        return 0;
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(
        frequency / (end - start), std::numeric_limits<std::int32_t>::max()));
}
