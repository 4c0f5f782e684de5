#include "States/Screen.h"

#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Game/TexMgr.h"
#include "Include/common/XmlSer.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Math.h"
#include "Platform/Gfx/Sprite.h"
#include "Platform/Gfx/Texture.h"
#include "States/BlendStates.h"
#include "States/Controls/Area.h"
#include "States/Controls/HitTest.h"
#include "States/Controls/Image.h"
#include "States/Controls/Text.h"
#include "States/ScreenServices.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <sstream>
#include <utility>

namespace State {

namespace {

constexpr const char* kWhere = ".\\States\\Screen";

// The pointer in normalised device coordinates.
cg::point<float, 2> PointerPoint() {
    return {2.0f * ScreenServices::PointerX() - 1.0f, 1.0f - 2.0f * ScreenServices::PointerY()};
}

struct BackgroundVertex {
    float x, y, z, u, v;
};

// The picture's texture is 1024 texels square, of which the top 768 rows fill the screen, or
// is those rows alone (the texture manager keeps no more of a background); the quad sits half
// a pixel left and up so that texels meet pixels.
constexpr float kShownRows = 0.75f;
constexpr BackgroundVertex kBackground[4] = {
    {-1.0009765625f, -0.99869794f, 0.0f, 0.0f, kShownRows},
    {-1.0009765625f, 1.0013021f, 0.0f, 0.0f, 0.0f},
    {0.9990234375f, -0.99869794f, 0.0f, 1.0f, kShownRows},
    {0.9990234375f, 1.0013021f, 0.0f, 1.0f, 0.0f},
};

bool IsIdentity(const Gfx::Device& device, Gfx::TransformKind kind) {
    Gfx::Matrix m;
    const Gfx::Matrix identity = Gfx::MatrixIdentity();
    return device.GetTransform(kind, m) == Gfx::kOk &&
           std::equal(&m.m[0][0], &m.m[0][0] + 16, &identity.m[0][0]);
}

// The background quad for a texture of that height: its bottom edge at the last row shown.
std::array<BackgroundVertex, 4> BackgroundQuad(const Gfx::Texture* texture) {
    std::array<BackgroundVertex, 4> quad;
    std::copy(std::begin(kBackground), std::end(kBackground), quad.begin());
    Gfx::SurfaceDesc desc;
    if (texture != nullptr && texture->GetLevelDesc(0, desc) == Gfx::kOk &&
        desc.height == TexMgr::kFrameHeight) {
        quad[0].v = quad[2].v = 1.0f;
    }
    return quad;
}

} // namespace

void Screen::Load(const XmlDom::Element& element) {
    exit_ = XmlDom::Attr(element, "exit", "");
    exitContext_ = XmlDom::Attr(element, "exitcontext", "back");
    background_ = XmlDom::RequiredAttr(element, "src");
    Control::CreateControls<Control::Area>(element, "zone", controls_);
    Control::CreateControls<Control::Image>(element, "image", controls_);
    Control::CreateControls<Control::ImageMapped>(element, "imagemapped", controls_);
    Control::CreateControls<Control::Text>(element, "text", controls_);
    Control::CreateControls<Control::Fader>(element, "fader", faders_);
    Control::CheckDefinitions(name_, controls_);
    Control::CheckDefinitions(name_, faders_);
}

void Screen::LoadStateXml(xs::IArchive& archive) {
    archive& xs::map_nvp("control", controls_, "name", false) &
        xs::map_nvp("faders", faders_, "name", false);
}

void Screen::SaveStateXml(xs::OArchive& archive) {
    archive& xs::map_nvp("control", controls_, "name", false) &
        xs::map_nvp("faders", faders_, "name", false);
}

void Screen::Prepare() {
    for (const auto& [key, fader] : faders_) {
        fader->Layout();
    }
    for (const auto& [key, control] : controls_) {
        control->Layout();
    }
}

void Screen::Start() {
    if (GfxLink::HasDevice()) {
        Gfx::Device& device = GfxLink::Device();
        const Gfx::Matrix identity = Gfx::MatrixIdentity();
        CheckResult(device.SetTransform(Gfx::TransformKind::World, identity), kWhere,
                    "dx().device()->SetTransform( D3DTS_WORLD, &identity )");
        CheckResult(device.SetTransform(Gfx::TransformKind::View, identity), kWhere,
                    "dx().device()->SetTransform( D3DTS_VIEW, &identity )");
        CheckResult(device.SetTransform(Gfx::TransformKind::Projection, identity), kWhere,
                    "dx().device()->SetTransform( D3DTS_PROJECTION, &identity )");
        SetBlendStates(device, kWhere);
        if (LoadBackground()) {
            GetTexMgr().TouchBackground(background_);
        }
    }
    Control::ApplyPass(faders_, &Control::Base::StartPass);
    Control::ApplyPass(controls_, &Control::Base::StartPass);
}

void Screen::Stop() {
    // A drag must not outlive the visit either: the slider is released as the button's
    // release would, or it would follow the mouse on the next visit with no button held.
    ReleaseFader();
    Control::ApplyPass(faders_, &Control::Base::StopPass);
    Control::ApplyPass(controls_, &Control::Base::StopPass);
    // A press must not outlive the visit: a release on a later visit is no click.
    pressed_.reset();
    // The next visit tries a missing picture once more.
    backgroundMissing_.Retry();
}

void Screen::Reset() {
    Control::ApplyPass(controls_, &Control::Base::ResetPass);
    Control::ApplyPass(faders_, &Control::Base::ResetPass);
}

bool Screen::Activate() {
    Control::ApplyPass(controls_, &Control::Base::ActivatePass);
    return true;
}

void Screen::Deactivate() {
    Control::ApplyPass(controls_, &Control::Base::DeactivatePass);
}

void Screen::CollectResources(std::vector<MapResource>& list, MapPart& part) {
    if (!background_.empty()) {
        list.push_back({background_, MapResource::kSimple, true});
    }
    for (const auto& [key, control] : controls_) {
        control->CollectResources(list, part);
    }
}

void Screen::CancelPress() {
    pressed_.reset();
    if (fader_ != nullptr) {
        fader_->Drop();
        fader_ = nullptr;
    }
}

void Screen::ReleaseFader() {
    Control::Fader* fader = std::exchange(fader_, nullptr);
    if (fader != nullptr) {
        fader->Capture(false);
    }
}

void Screen::Render() {
    if (GfxLink::HasDevice()) {
        DrawBackground();
        Gfx::Device& device = GfxLink::Device();
        CheckResult(device.SetRenderState(Gfx::RenderState::AlphaBlendEnable, 1), kWhere,
                    "dx().device()->SetRenderState( D3DRS_ALPHABLENDENABLE, TRUE )");
        Control::ApplyPass(controls_, &Control::Base::RenderPass);
        CheckResult(device.SetRenderState(Gfx::RenderState::AlphaBlendEnable, 0), kWhere,
                    "dx().device()->SetRenderState( D3DRS_ALPHABLENDENABLE, FALSE )");
        // The sliders share one sprite batch; a screen without any needs no sprite.
        if (!faders_.empty()) {
            Gfx::Sprite& sprite = GfxLink::Sprite();
            CheckResult(sprite.Begin(Gfx::SpriteAlphaBlend), kWhere,
                        "dx().sprite()->Begin( D3DXSPRITE_ALPHABLEND )");
            Control::ApplyPass(faders_, &Control::Base::RenderPass);
            CheckResult(sprite.End(), kWhere, "dx().sprite()->End()");
        }
    } else {
        Control::ApplyPass(controls_, &Control::Base::RenderPass);
        Control::ApplyPass(faders_, &Control::Base::RenderPass);
    }
    UpdateHover();
}

bool Screen::CoversScreen() {
    if (!GfxLink::HasDevice()) {
        return false;
    }
    // The background quad spans the frame exactly as long as Start's transforms stand, and
    // overwrites it while nothing blends or culls.
    const Gfx::Device& device = GfxLink::Device();
    std::uint32_t blend = 1, cull = Gfx::CullCcw;
    return device.GetRenderState(Gfx::RenderState::AlphaBlendEnable, blend) == Gfx::kOk &&
           blend == 0 && device.GetRenderState(Gfx::RenderState::CullMode, cull) == Gfx::kOk &&
           cull == Gfx::CullNone && IsIdentity(device, Gfx::TransformKind::World) &&
           IsIdentity(device, Gfx::TransformKind::View) &&
           IsIdentity(device, Gfx::TransformKind::Projection);
}

std::shared_ptr<Gfx::Texture> Screen::LoadBackground() {
    return backgroundMissing_.Get(
        background_, [](const std::string& path) { return GetTexMgr().Background(path); },
        [this] { LogFormat("Screen '%1%' has no picture '%2%'", name_, background_); });
}

void Screen::DrawBackground() {
    Gfx::Device& device = GfxLink::Device();
    CheckResult(device.SetSamplerState(0, Gfx::SamplerState::AddressU, Gfx::AddressClamp), kWhere,
                "dx().device()->SetSamplerState( 0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP )");
    CheckResult(device.SetSamplerState(0, Gfx::SamplerState::AddressV, Gfx::AddressClamp), kWhere,
                "dx().device()->SetSamplerState( 0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP )");
    CheckResult(device.SetSamplerState(0, Gfx::SamplerState::MinFilter, Gfx::FilterLinear), kWhere,
                "dx().device()->SetSamplerState( 0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR )");
    CheckResult(device.SetSamplerState(0, Gfx::SamplerState::MagFilter, Gfx::FilterLinear), kWhere,
                "dx().device()->SetSamplerState( 0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR )");
    const std::shared_ptr<Gfx::Texture> texture = LoadBackground();
    CheckResult(device.SetTexture(0, texture), kWhere,
                "dx().device()->SetTexture( 0, GetTexMgr().Simple( src_ ) )");
    CheckResult(device.SetTextureStageState(0, Gfx::StageState::ColorArg1, Gfx::ArgTexture), kWhere,
                "dx().device()->SetTextureStageState( 0, D3DTSS_COLORARG1, D3DTA_TEXTURE )");
    CheckResult(device.SetTextureStageState(0, Gfx::StageState::ColorOp, Gfx::OpSelectArg1), kWhere,
                "dx().device()->SetTextureStageState( 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1 )");
    CheckResult(device.SetFvf(Gfx::FvfXyz | Gfx::FvfTex1), kWhere,
                "dx().device()->SetFVF( D3DFVF_XYZ | D3DFVF_TEX1 )");
    const std::array<BackgroundVertex, 4> quad = BackgroundQuad(texture.get());
    CheckResult(device.DrawPrimitiveUp(Gfx::Primitive::TriangleStrip, 2, quad.data(),
                                       sizeof(BackgroundVertex)),
                kWhere, "dx().device()->DrawPrimitiveUP( D3DPT_TRIANGLESTRIP, 2, v, sizeof(V) )");
}

bool Screen::InBorder(float x, float y) {
    // A point on the inner square's edge counts as inside.
    return x < -0.9f || x > 0.9f || y < -0.9f || y > 0.9f;
}

void Screen::UpdateHover() {
    const cg::point<float, 2> p = PointerPoint();
    hovered_.reset();
    const bool dragging = fader_ != nullptr && fader_->Dragging();
    if (ShowInventory() && ScreenServices::InventoryUnderPointer()) {
        // The bar is under the pointer, not the knob found in an earlier frame: a press here
        // must not capture it.
        if (!dragging) {
            fader_ = nullptr;
        }
    } else {
        if (!dragging) {
            fader_ = nullptr;
            for (const auto& [key, fader] : faders_) {
                if (fader->HitTest()) {
                    fader_ = fader.get();
                    break;
                }
            }
            // The control drawn last wins: walk the keys downwards.
            for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
                if (Control::HitTestFlat(*it->second, p)) {
                    hovered_ = it->second;
                    break;
                }
            }
        }
        if (!ScreenServices::PointerHoldsItem()) {
            ScreenServices::SetPointerContext(fader_               ? fader_->GetContext()
                                              : hovered_           ? hovered_->GetContext()
                                              : InBorder(p.x, p.y) ? exitContext_
                                                                   : std::string());
        }
    }
    // The text shows only in the debug text.
    if (opts().info_) {
        std::ostringstream info;
        info << "FPS: " << (now_ > lastTick_ ? 1000.0f / (now_ - lastTick_) : 0.0f) << "\n"
             << "Pos " << p.x << " " << p.y;
        game().SetInfoText(info.str());
    }
}

void Screen::Input(const InputRecord* records, int count, bool keyboard) {
    if ((flags_ & kNoInput) != 0) {
        return;
    }
    const std::string shown = game().map_.Current();
    const std::uint32_t primary = opts().mouseLeftHanded_ ? kMouseButton1 : kMouseButton0;
    const std::uint32_t secondary = primary == kMouseButton0 ? kMouseButton1 : kMouseButton0;
    float dx = 0.0f;
    float dy = 0.0f;
    bool left = false;
    for (int i = 0; i < count; ++i) {
        const InputRecord& record = records[i];
        const bool pressed = (record.dwData & kPressedBit) != 0;
        if (!keyboard && record.dwOfs == kMouseX) {
            dx += static_cast<float>(static_cast<std::int32_t>(record.dwData));
            continue;
        }
        if (!keyboard && record.dwOfs == kMouseY) {
            dy += static_cast<float>(static_cast<std::int32_t>(record.dwData));
            continue;
        }
        if (left) {
            // A click, an exit or Escape moved away: the rest of the batch is not ours.
            continue;
        }
        if (!keyboard && record.dwOfs == primary) {
            pressed ? PrimaryDown() : PrimaryUp();
        } else if (!keyboard && record.dwOfs == secondary && !pressed) {
            SecondaryUp();
        } else if (keyboard && !pressed && record.dwOfs == kKeyEscape) {
            if (ShowInventory()) {
                ScreenServices::InventoryEscape();
            }
        } else if (keyboard && !pressed && (record.dwOfs == kKeyI || record.dwOfs == kKeyEnter)) {
            if (ShowInventory()) {
                ScreenServices::InventoryToggle();
            }
        }
        left = game().map_.Current() != shown;
    }
    ScreenServices::MovePointer(dx, dy);
}

void Screen::PrimaryDown() {
    if (ShowInventory() && ScreenServices::InventoryTakesClick()) {
        return;
    }
    if (fader_ != nullptr) {
        fader_->Capture(true);
        return;
    }
    if (hovered_) {
        pressed_ = hovered_;
        return;
    }
    const cg::point<float, 2> p = PointerPoint();
    if (InBorder(p.x, p.y)) {
        Exit();
    }
}

void Screen::PrimaryUp() {
    if (fader_ != nullptr) {
        ReleaseFader();
    } else if (hovered_ && hovered_ == pressed_) {
        // The click may move on; the press is over either way.
        const std::shared_ptr<Control::FlatControl> control = hovered_;
        pressed_.reset();
        control->Click();
        ScreenServices::InventoryDrop();
    }
    pressed_.reset();
}

void Screen::SecondaryUp() {
    if (ScreenServices::PointerHoldsItem()) {
        ScreenServices::InventoryDrop();
    } else {
        ScreenServices::InventoryToggle();
    }
}

void Screen::Exit() {
    // The move happens first; "exit" fires on the state left, whether or not it moved.
    if (!exit_.empty() || !std::exchange(noExitLogged_, true)) {
        game().map_.SetState(exit_);
    }
    FireEvent("exit");
}

} // namespace State
