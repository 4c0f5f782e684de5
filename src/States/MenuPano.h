#pragma once

#include "States/CameraMove.h"
#include "States/Pano.h"

namespace State {

// A panorama of the menu whose camera is moved only by its own scripts ("set_pos",
// "set_fov", gliding like a cut-scene's camera): no inventory, no mouse-look or edge-follow,
// no idle sway, and no save record. The pointer moves freely and clicks its zones.
class MenuPano : public Pano {
public:
    void LoadState(xs::IArchive& archive) override { Base::LoadState(archive); }
    void SaveState(xs::OArchive& archive) override { Base::SaveState(archive); }
    // The Lua functions published, the sway off, the camera gliding on from the view it
    // has with a right-angle field of view, then the panorama's start.
    void Start() override;
    // The Lua functions withdrawn, the sway on again, then the panorama's stop.
    void Stop() override;
    // The camera's present values, then the panorama's frame.
    void Render() override;
    bool ShowInventory() override { return false; }
    bool AllowLook() override { return false; }
    bool AllowSway() override { return false; }

    // Lua "set_pos": heading and pitch (radians) glide there over ms milliseconds; a move
    // longer than 100 ms turns the short way round.
    void SetPos(float heading, float pitch, int ms);
    // Lua "set_fov": the field of view glides to `degrees` over ms milliseconds.
    void SetFov(float degrees, int ms);

    const CameraMove& Camera() const { return camera_; }

private:
    // Persists between visits: each start glides on from the present values.
    CameraMove camera_;
};

} // namespace State
