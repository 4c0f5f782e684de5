#include "States/Pano.h"

#include "Effects/Effects.h"
#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Log.h"
#include "Game/TexMgr.h"
#include "Include/common/Text.h"
#include "Include/common/XmlSer.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Effect.h"
#include "States/BlendStates.h"
#include "States/Controls/AreaPano.h"
#include "States/Controls/Image.h"
#include "States/ScreenServices.h"

#include <boost/algorithm/string/split.hpp>

namespace State {

namespace {

constexpr const char* kWhere = ".\\States\\Pano";

// Degrees to radians: the float nearest pi / 180.
constexpr float kDegree = 0.0174532924f;

// The Lua functions bound while the panorama runs.
constexpr const char* kLuaFunctions[] = {"pano_dist", "pano_dist_ex", "set_sound"};

// The cube maps of the panorama that are named.
std::vector<std::string> Named(const std::string& src, const std::string& back,
                               const std::string& bloom) {
    std::vector<std::string> names;
    for (const std::string* name : {&src, &back, &bloom}) {
        if (!name->empty()) {
            names.push_back(*name);
        }
    }
    return names;
}

} // namespace

void Pano::Load(const XmlDom::Element& element) {
    src_ = XmlDom::RequiredAttr(element, "src");
    back_ = XmlDom::Attr(element, "back", "");
    bloom_ = XmlDom::Attr(element, "bloom", "");
    fovDefault_ = fov_ = xs::text::ParseFloat(XmlDom::Attr(element, "fov", "80")) * kDegree;
    Control::CreateControls<Control::AreaPano>(element, "zone", controls_);
    Control::CreateControls<Control::ImagePano>(element, "image", controls_);
    Control::CreateControls<Control::ImageMappedPano>(element, "imagemapped", controls_);
    Control::CreateControls<Control::Image>(element, "sprite", sprites_);
    Control::CheckDefinitions(name_, controls_);
    Control::CheckDefinitions(name_, sprites_);
    std::vector<std::string> levels;
    const std::string hdr = XmlDom::Attr(element, "hdr", "0");
    boost::split(levels, hdr, [](char c) { return c == ','; });
    for (const std::string& level : levels) {
        hdr_.push_back(xs::text::ParseFloat(level));
    }
    const XmlDom::Selection sounds = XmlDom::SelectNodes(element, "sound");
    for (int i = 0; i < sounds.Length(); ++i) {
        auto [src, sound] = PanoSound::Read(XmlDom::Item(sounds, i));
        sounds_[src] = sound;
    }
}

void Pano::LoadState(xs::IArchive& archive) {
    archive& xs::nvp("course", course_) & xs::nvp("pitch", pitch_) &
        xs::map_nvp("control", controls_, "name", false) &
        xs::map_nvp("sound", sounds_, "name", false);
}

void Pano::SaveState(xs::OArchive& archive) {
    archive& xs::nvp("course", course_) & xs::nvp("pitch", pitch_) &
        xs::map_nvp("control", controls_, "name", false) &
        xs::map_nvp("sound", sounds_, "name", false);
}

void Pano::Prepare() {
    if (GfxLink::HasDevice()) {
        LoadSky(src_, srcMissing_);
        GetTexMgr().Pano(back_);
        LoadSky(bloom_, bloomMissing_);
    }
    LoadSounds();
    for (const auto& [key, control] : controls_) {
        control->Layout();
    }
    for (const auto& [key, sprite] : sprites_) {
        sprite->Layout();
    }
}

void Pano::CollectResources(std::vector<MapResource>& list, MapPart& part) {
    for (const std::string& name : Named(src_, back_, bloom_)) {
        list.push_back({name, MapResource::kPano});
    }
    CollectSounds(part);
    for (const auto& [key, control] : controls_) {
        control->CollectResources(list, part);
    }
}

void Pano::Start() {
    world_ = Gfx::MatrixIdentity();
    if (GfxLink::HasDevice()) {
        Gfx::Device& device = GfxLink::Device();
        CheckResult(device.SetTransform(Gfx::TransformKind::World, world_), kWhere,
                    "dx().device()->SetTransform( D3DTS_WORLD, &world_ )");
        SetBlendStates(device, kWhere);
    }
    StartSounds();
    fov_ = fovDefault_;
    follow_ = {};
    lastInput_ = now_;
    ScreenServices::SetPointer(0.5f, 0.5f);
    if (GfxLink::HasDevice()) {
        if (LoadSky(src_, srcMissing_)) {
            GetTexMgr().TouchPano(src_);
        }
        GetTexMgr().TouchPano(back_);
        if (LoadSky(bloom_, bloomMissing_)) {
            GetTexMgr().TouchPano(bloom_);
        }
    }
    look_ = false;
    Control::ApplyPass(controls_, &Control::Base::StartPass);
    Control::ApplyPass(sprites_, &Control::Base::StartPass);
    lua::State& lua = game().lua_;
    lua.Register(kLuaFunctions[0], this, &Pano::PanoDist);
    lua.Register(kLuaFunctions[1], this, &Pano::PanoDistEx);
    lua.Register(kLuaFunctions[2], this, &Pano::SetSound);
    UpdateView();
}

void Pano::Stop() {
    hovered_.reset();
    pressed_.reset();
    StopSounds();
    Control::ApplyPass(controls_, &Control::Base::StopPass);
    for (const char* name : kLuaFunctions) {
        game().lua_.Unregister(name);
    }
    // The next visit tries a missing cube map once more.
    srcMissing_.Retry();
    bloomMissing_.Retry();
}

void Pano::Reset() {
    Control::ApplyPass(controls_, &Control::Base::ResetPass);
}

bool Pano::Activate() {
    Control::ApplyPass(controls_, &Control::Base::ActivatePass);
    Control::ApplyPass(sprites_, &Control::Base::ActivatePass);
    return true;
}

void Pano::Deactivate() {
    Control::ApplyPass(controls_, &Control::Base::DeactivatePass);
    Control::ApplyPass(sprites_, &Control::Base::DeactivatePass);
}

void Pano::SetView(float heading, float pitch) {
    course_ = heading;
    pitch_ = pitch;
}

void Pano::CancelPress() {
    pressed_.reset();
    look_ = false;
}

void Pano::Render() {
    UpdateView();
    if (GfxLink::HasDevice()) {
        DrawSky();
    }
    UpdateExposure();
    if (GfxLink::HasDevice()) {
        Gfx::Device& device = GfxLink::Device();
        CheckResult(device.SetRenderState(Gfx::RenderState::AlphaBlendEnable, 1), kWhere,
                    "dx().device()->SetRenderState( D3DRS_ALPHABLENDENABLE, TRUE )");
        Control::ApplyPass(controls_, &Control::Base::RenderPass);
        Control::ApplyPass(sprites_, &Control::Base::RenderPass);
        CheckResult(device.SetRenderState(Gfx::RenderState::AlphaBlendEnable, 0), kWhere,
                    "dx().device()->SetRenderState( D3DRS_ALPHABLENDENABLE, FALSE )");
    } else {
        Control::ApplyPass(controls_, &Control::Base::RenderPass);
        Control::ApplyPass(sprites_, &Control::Base::RenderPass);
    }
    UpdateHover();
    UpdateInfo();
}

std::shared_ptr<Gfx::CubeTexture> Pano::LoadSky(const std::string& name, MissingPicture& missing) {
    return missing.Get(
        name, [](const std::string& asked) { return GetTexMgr().Pano(asked); },
        [&] { LogFormat("Panorama '%1%' has no cube map '%2%'", name_, name); });
}

bool Pano::CoversScreen() {
    return back_.empty() && GfxLink::HasDevice() && effects().cubemap_.effect()->Opaque("Cubemap");
}

void Pano::DrawSky() {
    Gfx::Device& device = GfxLink::Device();
    Effect::Bloom& bloom = effects().bloom_;
    // A bloom sky that no stage of the frame samples is not drawn at all.
    if (!bloom_.empty() && bloom.Sampled()) {
        std::shared_ptr<Gfx::Surface> saved;
        CheckResult(device.GetRenderTarget(0, saved), kWhere,
                    "dx().device()->GetRenderTarget( 0, &saved )");
        CheckResult(device.SetRenderTarget(0, bloom.TargetSurface()), kWhere,
                    "dx().device()->SetRenderTarget( 0, bloom.TargetSurface() )");
        effects().cubemap_.Apply(LoadSky(bloom_, bloomMissing_));
        bloom.drawn_ = true;
        CheckResult(device.SetRenderTarget(0, saved), kWhere,
                    "dx().device()->SetRenderTarget( 0, saved )");
    }
    // With a "back" cube map something else draws the sky: only the controls go on top.
    if (back_.empty()) {
        effects().cubemap_.Apply(LoadSky(src_, srcMissing_));
    }
}

} // namespace State
