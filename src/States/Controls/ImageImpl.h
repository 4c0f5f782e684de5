#pragma once

#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Log.h"
#include "Game/Where.h"
#include "Include/common/XmlSer.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Texture.h"
#include "States/Controls/BaseImpl.h"
#include "States/Controls/ControlBinding.h"
#include "States/Controls/ImageFrame.h"
#include "States/Controls/ImageState.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace State::Control {

// An animated image: named image states, each a run of frames shown at a fixed pace, with its
// own cursor context and click script. The texture handler says where the frames come from
// (cells of one texture, or a stripe of the texture manager), the placement where the quad
// goes (screen pixels, or a side of the panorama's cube). Scripts switch states, read the
// current one and fade the image through "set_state", "state" and "set_opacity".
template <typename TextureHandler, typename Placement>
class ImageImpl : public BaseImpl<typename Placement::Region> {
public:
    // The save record: the attribute "state", the current state's name. Loading enters the
    // saved name as it stands, without restarting the animation; a name the definition no
    // longer has is skipped, keeping the state the reset gave, so that no frame is asked
    // for a state that does not exist.
    void LoadState(xs::IArchive& archive) override {
        std::string name;
        archive& xs::nvp("state", name);
        if (states_.count(name) != 0) {
            current_ = name;
        }
    }
    void SaveState(xs::OArchive& archive) override { archive& xs::nvp("state", current_); }
    // The current state's context; none (never hit) without a current state.
    std::string GetContext() override {
        const ImageState* st = Current();
        return st != nullptr ? st->context : std::string();
    }
    // The frame of this moment, drawn.
    void Render() override { Draw(Update()); }
    // The current state's script, with the image's functions bound; a Lua error is logged and
    // the game goes on.
    void Click() override {
        const ImageState* st = Current();
        if (st == nullptr) {
            return;
        }
        const std::string script = st->script;
        const Where::Scope place(this->place_, Where::kEvent, "event 'click'");
        ControlBinding binding(*this, game().lua_);
        game().RunScript(script);
    }
    // The handler's attributes, the placement's, the states, the region ("pos") and "start".
    void Load(const XmlDom::Element& element) override {
        th_.Load(element);
        pl_.Load(element);
        LoadImageStates(element, states_);
        LoadRegion(element);
        start_ = XmlDom::RequiredAttr(element, "start");
    }
    // A Simple image's texture is loaded and on the device before the first frame.
    void Start() override { th_.Start(); }
    // The quad, from the frame size; the region becomes the quad unless "pos" gave one.
    void Layout() override {
        const auto [w, h] = th_.Layout();
        pl_.Layout(w, h);
        if (this->region_.empty()) {
            this->region_ = pl_.QuadRegion();
        }
    }
    void Reset() override { SetState(start_); }
    void Bind(ScopedBinding& scope) override {
        scope.Bind("set_state", this, &ImageImpl::SetState);
        scope.Bind("state", this, &ImageImpl::GetState);
        scope.Bind("set_opacity", this, &ImageImpl::SetOpacity);
    }
    void CollectResources(std::vector<MapResource>& list, MapPart&) override {
        th_.CollectResources(list);
    }

    // Enters the named state, restarting its animation; a name without a state is ignored.
    void SetState(const std::string& name) {
        const auto found = states_.find(name);
        if (found == states_.end()) {
            return;
        }
        current_ = name;
        started_ = game().Time();
        // The first frame number, not an index: a looping state fires "loop" on its first
        // update (scripts that count loops rely on it).
        last_ = found->second.frame;
    }
    std::string GetState() { return current_; }
    void SetOpacity(float value) { opacity_ = ClampOpacity(value); }

    // The frame number to show now (0: none, also without a current state). A looping state
    // fires "loop" on the first update after each wrap.
    std::uint32_t Update() {
        const ImageState* current = Current();
        if (current == nullptr) {
            return 0;
        }
        // A copy: the "loop" script may switch states.
        const ImageState st = *current;
        const std::uint32_t n = FrameCount(st);
        std::uint32_t idx = 0;
        if (n > 1) {
            idx = FrameIndex(st, n, game().Time() - started_);
            if (st.loop && idx < last_) {
                Base::FireEvent(*this, "loop");
            }
            last_ = idx;
        }
        return st.length < 0 ? st.frame - idx : st.frame + idx;
    }

    // Draws frame F; frame 0, a frame the handler cannot give and a missing device draw
    // nothing.
    void Draw(std::uint32_t F) {
        ImageFrame frame;
        if (F == 0 || !GfxLink::HasDevice() || !th_.Frame(F, frame)) {
            return;
        }
        pl_.SetTexture(frame, ImageColour(opacity_));
        Gfx::Device& device = GfxLink::Device();
        constexpr const char* where = "States/Controls/Image";
        CheckResult(device.SetSamplerState(0, Gfx::SamplerState::MagFilter, Gfx::FilterLinear),
                    where, "device->SetSamplerState ( 0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR )");
        CheckResult(device.SetSamplerState(0, Gfx::SamplerState::MinFilter, Gfx::FilterLinear),
                    where, "device->SetSamplerState ( 0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR )");
        CheckResult(device.SetTexture(0, frame.texture), where, "device->SetTexture ( 0, tex )");
        CheckResult(device.SetTextureStageState(0, Gfx::StageState::ColorArg1, Gfx::ArgTexture),
                    where, "device->SetTextureStageState (0, D3DTSS_COLORARG1, 0x00000002 )");
        CheckResult(device.SetTextureStageState(0, Gfx::StageState::ColorArg2, Gfx::ArgDiffuse),
                    where, "device->SetTextureStageState (0, D3DTSS_COLORARG2, 0x00000000 )");
        CheckResult(device.SetTextureStageState(0, Gfx::StageState::ColorOp, Gfx::OpSelectArg1),
                    where, "device->SetTextureStageState (0, D3DTSS_COLOROP, D3DTOP_SELECTARG1 )");
        CheckResult(device.SetTextureStageState(0, Gfx::StageState::AlphaOp, Gfx::OpModulate),
                    where, "device->SetTextureStageState (0, D3DTSS_ALPHAOP, D3DTOP_MODULATE )");
        CheckResult(device.SetFvf(Placement::FVF), where, "device->SetFVF( Placement::FVF )");
        CheckResult(
            device.DrawPrimitiveUp(Gfx::Primitive::TriangleStrip, 2, pl_.Data(), Placement::SIZE),
            where, "device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, pl_.Data(), Placement::SIZE )");
    }

    // The state named `current_`, or null when the image has none of that name (its "start"
    // names no state): such an image is not drawn and never hit until "set_state" enters a
    // state it has.
    const ImageState* Current() const {
        const auto it = states_.find(current_);
        return it != states_.end() ? &it->second : nullptr;
    }

    // A "start" that names no state of the image is logged once, when the definition is read.
    void CheckDefinition(const std::string& state, const std::string& key) const override {
        if (states_.count(start_) == 0) {
            LogFormat("Image '%1%' of state '%2%' has no image state '%3%' to start in; it is "
                      "not shown",
                      key, state, start_);
        }
    }

    TextureHandler th_;
    Placement pl_;
    std::string start_;
    std::string current_;
    std::map<std::string, ImageState> states_;
    float started_ = 0.0f;
    float opacity_ = 1.0f;
    std::uint32_t last_ = 0;

private:
    // "pos": four numbers a, b, c, d are the rectangle (a, b), (a, d), (c, d), (c, b); an even
    // count of six or more is one vertex per pair; any other count leaves the region empty.
    void LoadRegion(const XmlDom::Element& element) {
        const std::vector<float> v = ParseImagePos(XmlDom::Attr(element, "pos", ""));
        auto& region = this->region_;
        region.clear();
        if (v.size() == 4) {
            region = {{v[0], v[1]}, {v[0], v[3]}, {v[2], v[3]}, {v[2], v[1]}};
        } else if (v.size() >= 6 && v.size() % 2 == 0) {
            for (std::size_t i = 0; i < v.size(); i += 2) {
                region.push_back({v[i], v[i + 1]});
            }
        }
    }
};

} // namespace State::Control
