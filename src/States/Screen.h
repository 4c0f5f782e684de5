#pragma once

#include "Game/MissingPicture.h"
#include "States/Base.h"
#include "States/Controls/BaseImpl.h"
#include "States/Controls/ControlMap.h"
#include "States/Controls/Fader.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Gfx {
class Texture;
}

namespace State {

// A flat scene: one full-screen picture with controls on it (zones, images, texts, sliders),
// driven by the cursor; a primary press in the 5 % border moves to the "exit" state. Menus, loading
// screens and pages are screens too, and a transition's flash screen is a bare screen that
// shows a picture and takes no input.
class Screen : public Base {
public:
    // Flag bits.
    static constexpr std::uint32_t kNoInput = 1;
    static constexpr std::uint32_t kNoCursor = 2;
    static constexpr std::uint32_t kNoInventory = 4;

    Screen() = default;
    // A flash screen named `name`: the picture full screen; no input, cursor or inventory.
    Screen(const std::string& name, std::string picture)
        : background_(std::move(picture)), flags_(255) {
        name_ = name;
    }

    // The save record: the map "control" of the controls' own records, then the map
    // "faders" of the sliders', each entry keyed by its attribute "name". Entries whose key
    // names no control or slider of the screen are skipped.
    void LoadState(xs::IArchive& archive) override { LoadStateXml(archive); }
    void SaveState(xs::OArchive& archive) override { SaveStateXml(archive); }
    void LoadStateXml(xs::IArchive& archive);
    void SaveStateXml(xs::OArchive& archive);
    // "exit", "exitcontext", "src", then the controls: zones, images, mapped images, texts,
    // then the sliders.
    void Load(const XmlDom::Element& element) override;
    // Lays out every slider, then every control, once.
    void Prepare() override;
    // Identity transforms and alpha blending for the flat drawing, the background loaded,
    // then the start pass of the sliders and of the controls.
    void Start() override;
    // A slider being dragged is released (its "release" fires), then the stop pass of the
    // sliders and of the controls; a press in progress is forgotten.
    void Stop() override;
    void Reset() override;
    // The background, the controls, the sliders, then what is under the pointer.
    void Render() override;
    // The controls' activate pass; answers true.
    bool Activate() override;
    void Deactivate() override;
    void Input(const InputRecord* records, int count, bool keyboard) override;
    bool ShowCursor() override { return (flags_ & kNoCursor) == 0; }
    bool ShowInventory() override { return (flags_ & kNoInventory) == 0; }
    // The background picture, as a 2-D texture, then the controls' textures (not the
    // sliders').
    void CollectResources(std::vector<MapResource>& list, MapPart& part) override;
    void CancelPress() override;
    // The background covers the frame: with the identity transforms and blending off.
    bool CoversScreen() override;
    // A click in the border: moves to the exit state, then fires "exit". A screen without an
    // exit moves nowhere; the first such click of the run logs the missing state, the later
    // ones only fire "exit".
    virtual void Exit();

    // Render's steps after the drawing: the slider or the control under the pointer and the
    // cursor's context.
    void UpdateHover();
    // Whether the pointer (in normalised device coordinates) lies in the border band.
    static bool InBorder(float x, float y);

    const std::string& Picture() const { return background_; }
    const std::string& ExitState() const { return exit_; }
    const std::string& ExitContext() const { return exitContext_; }
    std::uint32_t Flags() const { return flags_; }
    const Control::ControlMap<Control::FlatControl>& Controls() const { return controls_; }
    const std::shared_ptr<Control::FlatControl>& Hovered() const { return hovered_; }
    const std::shared_ptr<Control::FlatControl>& Pressed() const { return pressed_; }
    const Control::ControlMap<Control::Fader>& Faders() const { return faders_; }
    // The slider under the pointer or being dragged, or null.
    Control::Fader* ActiveFader() const { return fader_; }

protected:
    // The quad of the background: the top 768 rows of a 1024x1024 picture.
    void DrawBackground();
    // The background's texture; a picture that cannot be had is logged with the screen's
    // name and not asked for again until the next start (it draws as none).
    std::shared_ptr<Gfx::Texture> LoadBackground();
    void PrimaryDown();
    void PrimaryUp();
    void SecondaryUp();
    // Ends the drag of the slider in fader_, if any, and clears the field.
    void ReleaseFader();

    Control::ControlMap<Control::FlatControl> controls_;
    std::shared_ptr<Control::FlatControl> hovered_;
    std::shared_ptr<Control::FlatControl> pressed_;
    std::string exit_;
    // Whether a border click of this screen has logged that it has no exit.
    bool noExitLogged_ = false;
    std::string exitContext_;
    std::string background_;
    MissingPicture backgroundMissing_;
    Control::ControlMap<Control::Fader> faders_;
    // One of faders_, not owned.
    Control::Fader* fader_ = nullptr;
    std::uint32_t flags_ = 0;
};

} // namespace State
