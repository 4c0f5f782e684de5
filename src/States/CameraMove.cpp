#include "States/CameraMove.h"

#include "Include/cg/Angles.h"
#include "States/Pano.h"

#include <cmath>

namespace State {

namespace {

// Moves up to this long keep their start heading as it is.
constexpr int kShortestUnwoundMove = 100;
// How far from the target the unwound start heading may lie: half a turn and a little.
constexpr float kHalfTurn = 3.1425927f;

} // namespace

CameraMove::CameraMove() {
    heading_.duration_ = pitch_.duration_ = fov_.duration_ = 1.0f;
    fov_.from_ = fov_.to_ = 1.5f;
}

void CameraMove::Withdraw(lua::State& lua) {
    lua.Unregister("set_pos");
    lua.Unregister("set_fov");
}

void CameraMove::SetPos(float heading, float pitch, int ms, float now, bool shortWay) {
    const float duration = static_cast<float>(ms);
    heading_.Retarget(heading, now, duration);
    pitch_.Retarget(pitch, now, duration);
    float& from = heading_.from_;
    if (shortWay && ms > kShortestUnwoundMove && std::isfinite(from) && std::isfinite(heading) &&
        std::abs(from - heading) > kHalfTurn) {
        // The whole turns are counted at once rather than stepped one by one, so a far or
        // huge heading from a script cannot keep the frame turning forever.
        const double turns = std::round((double(heading) - double(from)) / cg::TwoPi);
        from = float(double(from) + turns * cg::TwoPi);
    }
}

void CameraMove::SetFov(float degrees, int ms, float now) {
    fov_.Retarget(degrees * kDegree, now, static_cast<float>(ms));
}

void CameraMove::Restart(float heading, float pitch, float now) {
    fov_.Retarget(kRightAngle, now, 1.0f);
    SetPos(heading, pitch, 1, now, false);
}

void CameraMove::Apply(Pano& pano, float now) const {
    const float pitch = Pitch(now);
    const float heading = Heading(now);
    pano.SetView(heading, pitch);
    pano.SetFov(Fov(now));
}

} // namespace State
