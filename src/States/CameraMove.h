#pragma once

#include "Game/AnimatedValue.h"
#include "Script/State.h"

namespace State {

class Pano;

// The camera of a panorama driven by scripts instead of the player: heading, pitch and
// vertical field of view (radians), each gliding smoothly to the target a script last gave
// it. The owner retargets it from its Lua functions and hands the present values to the
// panorama once per frame; the panorama normalises the heading and clamps the pitch.
class CameraMove {
public:
    // Degrees to radians for "set_fov".
    static constexpr float kDegree = 0.017453292f;
    // The field of view every scripted scene starts from.
    static constexpr float kRightAngle = 1.5707964f;

    // Publishes the owner's SetPos and SetFov as Lua "set_pos" and "set_fov".
    template <typename Owner>
    static void Publish(lua::State& lua, Owner* owner) {
        lua.Register("set_pos", owner, &Owner::SetPos);
        lua.Register("set_fov", owner, &Owner::SetFov);
    }
    static void Withdraw(lua::State& lua);

    // Heading and pitch stand at 0, the field of view at 1.5 radians.
    CameraMove();

    // Heading and pitch glide to the given radians over `ms` milliseconds (at least 1).
    // With `shortWay`, a move longer than 100 ms first unwinds the start heading by whole
    // turns to within half a turn of the target, so the camera turns the short way round.
    void SetPos(float heading, float pitch, int ms, float now, bool shortWay);
    // The field of view glides to `degrees` over `ms` milliseconds (at least 1).
    void SetFov(float degrees, int ms, float now);
    // A scene's start: the field of view glides to a right angle and the view to the given
    // heading and pitch, each within 1 ms.
    void Restart(float heading, float pitch, float now);
    // The panorama's view and field of view become the present values.
    void Apply(Pano& pano, float now) const;

    float Heading(float now) const { return heading_.Value(now); }
    float Pitch(float now) const { return pitch_.Value(now); }
    float Fov(float now) const { return fov_.Value(now); }

private:
    SmoothValue heading_;
    SmoothValue pitch_;
    SmoothValue fov_;
};

} // namespace State
