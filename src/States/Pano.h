#pragma once

#include "Game/MissingPicture.h"
#include "Include/cg/Cp.h"
#include "Include/cg/Point.h"
#include "Platform/Gfx/Math.h"
#include "States/Base.h"
#include "States/Controls/BaseImpl.h"
#include "States/Controls/ControlMap.h"
#include "States/PanoSound.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Gfx {
class CubeTexture;
}

namespace State {

// The scene in which the player stands: a cube map drawn around the camera, turned with the
// mouse (mouse-look while the primary button is held, edge-follow when the pointer rests at
// the screen's edge, a slow sway when the player is idle), with zones and images laid on the
// sphere of directions, flat sprites over the screen and looping sounds placed around the
// listener. Every frame it turns the camera, finds the control under the pointer and fires
// its hover events; a release over the control that was pressed runs its click.
class Pano : public Base {
public:
    // The pitch the camera shows: at most this far down and up, in radians.
    static constexpr float kPitchDown = -0.55f;
    static constexpr float kPitchUp = 0.7f;

    Pano() = default;

    // The record of a save game: the view, the controls' own records and the sounds' on
    // flags. Entries whose name the panorama does not define are skipped.
    void LoadState(xs::IArchive& archive) override;
    void SaveState(xs::OArchive& archive) override;
    // "src" (required), "back", "bloom", "fov" (degrees, default 80), the zones, images,
    // mapped images and sprites, "hdr" (levels by heading, default "0"), then the sounds.
    // A number that does not convert ends loading.
    void Load(const XmlDom::Element& element) override;
    // The cube maps, the sounds, then the controls' and sprites' layout.
    void Prepare() override;
    // Device transforms and blending, the sounds fade in, the pointer to the centre, the
    // cube maps touched, the start pass, the Lua functions published and one view update.
    void Start() override;
    // Hover and press forgotten, the sounds fade out, the stop pass, the Lua functions
    // withdrawn.
    void Stop() override;
    void Reset() override;
    // The view update (edge-follow, idle sway, camera, sounds), the cube maps, the exposure
    // by heading, the controls and sprites, then what is under the pointer.
    void Render() override;
    bool Activate() override;
    void Deactivate() override;
    void Input(const InputRecord* records, int count, bool keyboard) override;
    // Stored as given; the next camera update normalises and clamps it.
    void SetView(float heading, float pitch) override;
    bool ShowCursor() override { return true; }
    bool ShowInventory() override { return true; }
    // The three cube maps, the sounds into the part's sound table, then the controls'
    // textures (not the sprites').
    void CollectResources(std::vector<MapResource>& list, MapPart& part) override;
    void CancelPress() override;
    // The sky covers the frame: the state draws one ("back" is empty) with an opaque pass.
    bool CoversScreen() override;
    // Whether a primary press starts mouse-look and the pointer at the edge turns the view.
    virtual bool AllowLook() { return true; }
    // Whether the view sways while the player is idle.
    virtual bool AllowSway() { return true; }

    // Lua "pano_dist": how far a heading lies from the view's heading, 0 (along it) to 1
    // (opposite).
    float PanoDist(float course);
    // Lua "pano_dist_ex": the same with the pitch difference taken in.
    float PanoDistEx(float course, float pitch);
    // Lua "set_sound": switches a sound on (on != 0) or off, fading it over one second.
    void SetSound(std::string src, int on);

    // Steps 1 to 4 of the frame: edge-follow, idle sway, the camera, the sounds.
    void UpdateView();
    // The frame's last steps: what is under the pointer, its events and the cursor's context.
    void UpdateHover();

    cg::cp<float> View() const { return {course_, pitch_}; }
    float Fov() const { return fov_; }
    // The field of view in use until the next start (scripted cameras set it every frame).
    void SetFov(float fov) { fov_ = fov; }
    cg::point<float, 2> Follow() const { return follow_; }
    bool Looking() const { return look_; }
    const std::vector<float>& Hdr() const { return hdr_; }
    const std::string& Src() const { return src_; }
    const std::string& Back() const { return back_; }
    const std::string& Bloom() const { return bloom_; }
    const Control::ControlMap<Control::PanoControl>& Controls() const { return controls_; }
    const Control::ControlMap<Control::FlatControl>& Sprites() const { return sprites_; }
    const std::map<std::string, PanoSound>& Sounds() const { return sounds_; }
    const std::shared_ptr<Control::Base>& Hovered() const { return hovered_; }
    const std::shared_ptr<Control::Base>& Pressed() const { return pressed_; }
    const Gfx::Matrix& ViewMatrix() const { return view_; }
    const Gfx::Matrix& Projection() const { return proj_; }

private:
    // View update steps.
    void EdgeFollow();
    void IdleSway();
    void UpdateCamera();
    void UpdateExposure();
    // Drawing steps, with a device.
    void DrawSky();
    // The cube map `name` (none when empty): one that cannot be had is logged with the
    // panorama's name and not asked for again (it draws as none) until the panorama stops.
    std::shared_ptr<Gfx::CubeTexture> LoadSky(const std::string& name, MissingPicture& missing);
    // The pointer's panorama direction through the camera; none when the camera cannot be
    // inverted or the pointer's ray is not finite.
    std::optional<cg::cp<float>> PointerDirection() const;
    void UpdateInfo();

    // Input steps.
    void PrimaryDown();
    void PrimaryUp();
    void SecondaryUp();
    void KeyUp(std::uint32_t key);

    // The sounds.
    void CollectSounds(MapPart& part);
    void LoadSounds();
    void StartSounds();
    void StopSounds();
    void UpdateSounds();

    Control::ControlMap<Control::FlatControl> sprites_;
    Control::ControlMap<Control::PanoControl> controls_;
    std::shared_ptr<Control::Base> hovered_;
    std::shared_ptr<Control::Base> pressed_;
    std::string src_;
    std::string back_;
    std::string bloom_;
    MissingPicture srcMissing_;
    MissingPicture bloomMissing_;
    float course_ = 0.0f;
    float pitch_ = 0.0f;
    // Edge-follow speeds in radians per second: x the heading's, y the pitch's.
    cg::point<float, 2> follow_;
    std::map<std::string, PanoSound> sounds_;
    float fov_ = 0.0f;
    float fovDefault_ = 0.0f;
    bool look_ = false;
    float lastInput_ = 0.0f;
    std::vector<float> hdr_;
    Gfx::Matrix world_ = Gfx::MatrixIdentity();
    Gfx::Matrix proj_ = Gfx::MatrixIdentity();
    Gfx::Matrix view_ = Gfx::MatrixIdentity();
};

} // namespace State
