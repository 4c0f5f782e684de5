#include "States/Controls/Fader.h"

#include "Game/Check.h"
#include "Game/GfxLink.h"
#include "Game/Log.h"
#include "Game/TexMgr.h"
#include "Include/common/XmlSer.h"
#include "Platform/Gfx/Math.h"
#include "Platform/Gfx/Sprite.h"
#include "Platform/Gfx/Texture.h"
#include "States/ScopedBinding.h"
#include "States/ScreenServices.h"

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <cmath>
#include <typeinfo>
#include <utility>

namespace State::Control {

namespace {

constexpr const char* kWhere = ".\\States\\Controls\\Fader";

// A float attribute; text that is no number, and infinities and NaN, which no travel can
// use, fail the definition load as a bad number does.
float FiniteAttr(const std::string& text) {
    const float value = boost::lexical_cast<float>(text);
    if (!std::isfinite(value)) {
        throw boost::bad_lexical_cast(typeid(std::string), typeid(float));
    }
    return value;
}

// Fractions within 0.05 of an end read as that end.
float Snap(float fraction) {
    return fraction < 0.05f ? 0.0f : fraction > 0.95f ? 1.0f : fraction;
}

// A fraction in [0, 1]; not a number counts as 0.
float ClampFraction(float fraction) {
    return std::isnan(fraction) ? 0.0f : std::clamp(fraction, 0.0f, 1.0f);
}

} // namespace

void Fader::Load(const XmlDom::Element& element) {
    float& left = travel_[0];
    float& top = travel_[1];
    float& right = travel_[2];
    float& bottom = travel_[3];
    left = FiniteAttr(XmlDom::RequiredAttr(element, "x"));
    top = FiniteAttr(XmlDom::RequiredAttr(element, "top"));
    bottom = FiniteAttr(XmlDom::Attr(element, "bottom", "-1"));
    right = FiniteAttr(XmlDom::Attr(element, "right", "-1"));
    if (right < 0.0f) {
        right = left;
    }
    if (bottom < 0.0f) {
        bottom = top;
    }
    position_ = {right, top};
    tex_ = XmlDom::RequiredAttr(element, "tex");
    MeasureKnob();
}

void Fader::MeasureKnob() {
    if (!GfxLink::HasDevice()) {
        // Without a device no texture can be had: the knob has no size.
        return;
    }
    const std::shared_ptr<Gfx::Texture> texture = GetTexMgr().Simple(tex_);
    knobMissing_ = !texture;
    if (knobMissing_) {
        // The texture manager has logged the failed load; the state logs where (below).
        return;
    }
    Gfx::SurfaceDesc desc;
    CheckResult(texture->GetLevelDesc(0, desc), kWhere,
                "game().GetTexMgr().Simple ( tex_ )->GetLevelDesc ( 0, &ddsd )");
    half_ = {float(desc.width) / 2048.0f, float(desc.height) / 1536.0f};
}

void Fader::CheckDefinition(const std::string& state, const std::string& key) const {
    if (knobMissing_) {
        LogFormat("Fader '%1%' of state '%2%' has no knob picture '%3%'; the knob is not drawn",
                  key, state, tex_);
    }
}

void Fader::Bind(ScopedBinding& scope) {
    scope.Bind("pos", this, &Fader::PosY);
    scope.Bind("posy", this, &Fader::PosX);
    scope.Bind("set_pos", this, &Fader::SetPos);
}

void Fader::SetPos(float fx, float fy) {
    const auto [left, top, right, bottom] = travel_;
    position_.x = left + ClampFraction(fx) * (right - left);
    position_.y = bottom + ClampFraction(fy) * (top - bottom);
}

float Fader::PosX() {
    const float left = travel_[0], right = travel_[2];
    if (std::abs(right - left) <= 0.0001f) {
        return 0.0f;
    }
    return Snap((position_.x - left) / (right - left));
}

float Fader::PosY() {
    const float top = travel_[1], bottom = travel_[3];
    if (std::abs(bottom - top) <= 0.0001f) {
        return 0.0f;
    }
    return Snap(std::abs((position_.y - top) / (bottom - top)));
}

bool Fader::HitTest() const {
    const float cx = ScreenServices::PointerX();
    const float cy = ScreenServices::PointerY();
    return position_.x - half_.x <= cx && cx <= position_.x + half_.x &&
           position_.y - half_.y <= cy && cy <= position_.y + half_.y;
}

void Fader::FireUpdate() {
    const cg::point<float, 2> q =
        cg::Clamp(travel_, {ScreenServices::PointerX(), ScreenServices::PointerY()});
    const bool moved = !cg::Equal(q, position_);
    position_ = q;
    if (moved) {
        FireEvent(*this, "update");
    }
}

void Fader::Capture(bool on) {
    // The flag changes before the script runs: an "acquire" script that leaves the screen
    // gets its drag released by the screen's stop, and nothing turns it on again after.
    if (std::exchange(dragging_, on) == on) {
        return;
    }
    FireEvent(*this, on ? "acquire" : "release");
    if (dragging_ == on) {
        FireUpdate();
    }
}

void Fader::Render() {
    if (dragging_) {
        // The knob follows the mouse every frame while the button is held.
        FireUpdate();
    }
    if (!GfxLink::HasDevice() || knobMissing_) {
        return;
    }
    const Gfx::Vector3 centre{half_.x * 1024.0f, half_.y * 768.0f, 1.0f};
    const Gfx::Vector3 at{position_.x * 1024.0f, position_.y * 768.0f, 1.0f};
    CheckResult(GfxLink::Sprite().Draw(GetTexMgr().Simple(tex_), nullptr, &centre, &at, 0xFFFFFFFF),
                kWhere,
                "dx().sprite()->Draw ( GetTexMgr().Simple ( tex_ ), 0, &c, &p, 0xFFFFFFFF )");
}

void Fader::LoadXml(xs::IArchive& archive) {
    cg::point<float, 2> position;
    archive& xs::nvp("x", position.x) & xs::nvp("y", position.y);
    position_ = position;
}

void Fader::SaveXml(xs::OArchive& archive) {
    archive& xs::nvp("x", position_.x) & xs::nvp("y", position_.y);
}

} // namespace State::Control
