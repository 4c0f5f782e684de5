// The panorama's view: how it turns by itself (edge-follow, idle sway), the camera made from
// it, the exposure by heading and the distances that scripts and sounds measure from it.

#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"
#include "Include/cg/Angles.h"
#include "Include/cg/Direction.h"
#include "Platform/Gfx/Device.h"
#include "States/Pano.h"
#include "States/ScreenServices.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <sstream>

namespace State {

namespace {

constexpr const char* kWhere = ".\\States\\Pano";

// The pitch limit of the normalisation before the camera's own clamp.
constexpr float kHalfPi = 1.5707964f;

// The narrowest and the widest field of view a projection is built with: at 0 and from half
// a turn on the projection has no inverse, and the pointer would point nowhere.
constexpr float kFovMin = 0.01f;
constexpr float kFovMax = std::numbers::pi_v<float> - 0.01f;

// Moves an edge-follow speed toward its target by at most `step`.
float Approach(float speed, float target, float step) {
    if (speed < target - 0.0001f) {
        return std::min(speed + step, target);
    }
    if (speed > target + 0.0001f) {
        return std::max(speed - step, target);
    }
    return speed;
}

} // namespace

void Pano::UpdateView() {
    if (AllowLook()) {
        EdgeFollow();
    }
    if (AllowSway()) {
        IdleSway();
    }
    UpdateCamera();
    UpdateSounds();
}

void Pano::EdgeFollow() {
    if (look_) {
        // The speeds keep their values and take effect again after the release.
        return;
    }
    const float dt = (now_ - lastTick_) / 1000.0f;
    const cg::point<float, 2> excess = cg::EdgeExcess(
        cg::point<float, 2>{ScreenServices::PointerX(), ScreenServices::PointerY()}, 0.01f, 0.99f);
    follow_.x = Approach(follow_.x, excess.x * 100.0f, dt);
    follow_.y = Approach(follow_.y, excess.y * 100.0f, dt);
    course_ += follow_.x * dt;
    pitch_ -= follow_.y * dt;
}

void Pano::IdleSway() {
    const Opts::Data& settings = opts();
    const Game::Idle& idle = game().idle_;
    if (settings.noidle_ || !settings.swayAllowed_ || lastTick_ - lastInput_ <= idle.delay) {
        return;
    }
    const float t0 = (lastTick_ - lastInput_ - idle.delay) / 1000.0f;
    const float t1 = (now_ - lastInput_ - idle.delay) / 1000.0f;
    course_ += (std::cos(t1 * idle.period_x) - std::cos(t0 * idle.period_x)) * idle.ampl_x;
    pitch_ -= (std::cos(t1 * idle.period_y) - std::cos(t0 * idle.period_y)) * idle.ampl_y;
}

void Pano::UpdateCamera() {
    cg::cp<float> view{course_, pitch_};
    cg::Normalize(view, kHalfPi);
    course_ = view.heading;
    pitch_ = std::clamp(view.pitch, kPitchDown, kPitchUp);
    const glm::vec3 look = cg::CpToDirection({course_, pitch_});
    view_ = Gfx::MatrixLookAtLH({0.0f, 0.0f, 0.0f}, {look.x, look.y, look.z}, {0.0f, 1.0f, 0.0f});
    // The field of view in use stays as given; only the projection is kept buildable.
    proj_ =
        Gfx::MatrixPerspectiveFovLH(std::clamp(fov_, kFovMin, kFovMax), 1.3333334f, 0.1f, 10000.0f);
    if (GfxLink::HasDevice()) {
        Gfx::Device& device = GfxLink::Device();
        CheckResult(device.SetTransform(Gfx::TransformKind::Projection, proj_), kWhere,
                    "dx().device()->SetTransform( D3DTS_PROJECTION, &proj_ )");
        CheckResult(device.SetTransform(Gfx::TransformKind::View, view_), kWhere,
                    "dx().device()->SetTransform( D3DTS_VIEW, &view_ )");
    }
}

void Pano::UpdateExposure() {
    if (hdr_.empty()) {
        return;
    }
    // The levels lie at the headings 0, sector, 2 sector, ... and are interpolated linearly,
    // wrapping from the last to the first. The sector index and the fraction within it are
    // taken from one quotient, so that the level has no jump just past a sector's start and
    // heading 2 pi gives the level of heading 0.
    const std::size_t n = hdr_.size();
    const double sector = cg::TwoPi / double(n);
    const double at = std::max(0.0, double(course_) / sector);
    const double whole = std::floor(at);
    const std::size_t i = std::size_t(whole) % n;
    const float f = float(at - whole);
    game().SetHdrLevel(hdr_[i] + (hdr_[(i + 1) % n] - hdr_[i]) * f);
}

std::optional<cg::cp<float>> Pano::PointerDirection() const {
    const Gfx::Vector2 point{2.0f * ScreenServices::PointerX() - 1.0f,
                             1.0f - 2.0f * ScreenServices::PointerY()};
    Gfx::Matrix inverse;
    if (!Gfx::MatrixInverse(Gfx::MatrixMultiply(view_, proj_), inverse)) {
        return std::nullopt;
    }
    const Gfx::Vector4 p = Gfx::Vec2Transform(point, inverse);
    const float length = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    if (!std::isfinite(length) || length == 0.0f) {
        // No direction at all, not the heading 0 that a zero vector would give.
        return std::nullopt;
    }
    const Gfx::Vector3 direction = Gfx::Vec3Normalize({p.x, p.y, p.z});
    return cg::DirectionToCp(direction.x, direction.y, direction.z);
}

float Pano::PanoDist(float course) {
    float d = std::abs(course_ - course) / std::numbers::pi_v<float>;
    if (d > 1.0f) {
        d = 2.0f - d;
    }
    return std::clamp(d, 0.0f, 1.0f);
}

float Pano::PanoDistEx(float course, float pitch) {
    const float a = PanoDist(course);
    const float b = std::abs(pitch_ - pitch) / std::numbers::pi_v<float>;
    return std::clamp(std::sqrt(a * a + b * b), 0.0f, 1.0f);
}

void Pano::UpdateInfo() {
    if (!opts().info_) {
        return;
    }
    std::ostringstream info;
    info << "Pos " << course_ << " " << pitch_ << "\n"
         << "Cur " << ScreenServices::PointerX() << " " << ScreenServices::PointerY();
    if (hovered_) {
        info << "\nActive: " << hovered_->name_;
    }
    game().SetInfoText(info.str());
}

} // namespace State
