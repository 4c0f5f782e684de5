#pragma once

#include "States/Base.h"
#include "States/CameraMove.h"
#include "States/SubtitleTrack.h"

#include <map>
#include <memory>
#include <string>

namespace State {

class Pano;

// A cut-scene: a scripted scene played over one of the game's panoramas. It starts that
// panorama and takes its camera from the player, moves heading, pitch and field of view
// smoothly as its scripts command ("set_pos", "set_fov"), runs Lua texts at their times,
// shows its subtitles, and fires "exit" when the player skips it; the "exit" script decides
// where to go. It draws nothing itself: each frame it ticks the panorama with its camera.
class Cut : public Base {
public:
    Cut() = default;

    // "pano" (required: the name of the panorama shown), the `script` children ("time",
    // required: whole ms from the start; the text is Lua; the first script of a time keeps
    // it), then "subtitles" (a subtitle file, "" for none). A time that is not an integer
    // ends loading.
    void Load(const XmlDom::Element& element) override;
    // Scripts and subtitles from the beginning, the film look on, the Lua functions
    // published, the sway off, the camera back to heading 0, pitch 0 and a right-angle
    // field of view, the pointer to the centre, then the panorama started. A name that is
    // no panorama is logged and the scene plays with nothing to show.
    void Start() override;
    // The film look off, the Lua functions withdrawn, the sway on again, the subtitle
    // cleared, then the panorama stopped.
    void Stop() override;
    // The scripts that are due, the subtitles, the camera, then one tick of the panorama.
    void Render() override;
    // Each release of Escape or of the secondary mouse button skips (Exit), until a skip has
    // moved the game on; nothing else reacts.
    void Input(const InputRecord* records, int count, bool keyboard) override;
    // The camera moves there within 1 ms.
    void SetView(float heading, float pitch) override;
    bool ShowCursor() override { return false; }
    bool ShowInventory() override { return false; }

    // Fires "exit", whose script moves on; without one the cut-scene cannot be skipped.
    void Exit();
    // Lua "set_pos": heading and pitch (radians) glide there over ms milliseconds.
    void SetPos(float heading, float pitch, int ms);
    // Lua "set_fov": the field of view glides to `degrees` over ms milliseconds.
    void SetFov(float degrees, int ms);

    const std::map<float, std::string>& Scripts() const { return scripts_; }
    const CameraMove& Camera() const { return camera_; }

private:
    std::string panoName_;
    // The panorama shown, between start and stop.
    std::shared_ptr<Pano> pano_;
    // Lua texts by their time in ms from the start, and the first that has not run since.
    std::map<float, std::string> scripts_;
    std::map<float, std::string>::const_iterator nextScript_ = scripts_.end();
    CameraMove camera_;
    SubtitleTrack subtitles_;
};

} // namespace State
