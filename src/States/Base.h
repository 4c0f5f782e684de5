#pragma once

#include "Game/MapPart.h"
#include "Game/Where.h"
#include "Game/XmlDom.h"
#include "States/InputRecord.h"
#include "States/SubtitleTrack.h"

#include <map>
#include <string>
#include <vector>

namespace xs {
class IArchive;
class OArchive;
} // namespace xs

namespace State {

// A scene state: a screen, menu, page, loading screen, panorama, menu panorama, cut-scene,
// video or transition. The base holds what every kind shares (name, part, effect, music,
// the Lua event scripts, the state's clock, the active and prepared flags), the virtual
// operations every kind overrides, and the drivers that call them and fire the state's
// events in a fixed order. Each state is owned by a shared pointer.
class Base {
public:
    Base() = default;
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

    // Virtual operations, in this order.

    // Restores the run-time state from a save game.
    virtual void LoadState(xs::IArchive& archive);
    // Writes the run-time state into a save game.
    virtual void SaveState(xs::OArchive& archive);
    // Reads the kind's own attributes and children from its definition element.
    virtual void Load(const XmlDom::Element& element);
    // Acquires once what the state needs before it is first shown.
    virtual void Prepare();
    virtual void Start();
    virtual void Stop();
    // Returns to the look the definition gives.
    virtual void Reset();
    // Draws one frame into the current render target.
    virtual void Render();
    // The answer becomes the active flag.
    virtual bool Activate();
    virtual void Deactivate();
    // A batch of buffered records from the keyboard (true) or the mouse (false).
    virtual void Input(const InputRecord* records, int count, bool keyboard);
    // The view direction in radians.
    virtual void SetView(float heading, float pitch);
    // Whether the mouse cursor is drawn over this state.
    virtual bool ShowCursor();
    // Whether the inventory bar is drawn over this state and takes its clicks and keys.
    virtual bool ShowInventory();
    // Appends the textures the state needs to its part's resource list; once, after loading.
    virtual void CollectResources(std::vector<MapResource>& list, MapPart& part);
    virtual std::string GetEffect();
    // A primary-button release was dropped while input was halted: forget any press, look
    // or drag in progress without firing events, so nothing stays captured.
    virtual void CancelPress();
    // Whether Render, as things stand, begins by overwriting every pixel of the render
    // target, so that nothing drawn there before can show. The frame pipeline may then draw
    // the state straight into the back buffer. False unless the kind knows better.
    virtual bool CoversScreen() { return false; }

    // Drivers.

    // The common definition reader: "name", "effect", "sound", the `event` children, then
    // the kind's Load, then the "init" event.
    void LoadCommon(const XmlDom::Element& element, const std::string& partName);
    // Runs the state's script for one event, with `is_active` bound to this state for the
    // length of the script. A Lua error passes on as lua::exception.
    void FireEvent(const std::string& event);
    // Once per frame while shown: render, "render", one "timer" per 100 ms.
    void Tick();
    // The input entry of the frame: the debug keys, then the batch unless input is halted.
    static void HandleInput(Base& state, const InputRecord* records, int count, bool keyboard);
    // The four steps of a state switch.
    void FireStart();
    void FireStop();
    void FireActivate();
    void FireDeactivate();
    // A new or loaded game: Reset, then "init" and "reset".
    void Restart();
    // Lua "is_active" while the state's scripts run.
    bool IsActive() const { return active_; }
    std::string QueryEffect() { return GetEffect(); }

    const std::string& Name() const { return name_; }
    // Where the state is (its part and name), for the log line of an error in its scripts.
    Where::Place Place() const;
    const std::string& PartName() const { return part_; }
    const std::string& Sound() const { return sound_; }

protected:
    // Reads a subtitle file into the track; an empty path reads nothing, a file that
    // cannot be opened logs "Cannot open subtitles file" and leaves the track empty. Each
    // line without a good time is logged with the file's path, its number and the reason,
    // and skipped; the good lines are kept.
    static void LoadSubtitles(SubtitleTrack& track, const std::string& path);
    // Makes every line of the track due before `elapsed` (ms since the state started) the
    // game's subtitle in turn, so the latest of them stays shown.
    static void UpdateSubtitles(SubtitleTrack& track, float elapsed);

    // States are destroyed only through the shared pointers that own them.
    virtual ~Base() = default;

    std::string name_;
    std::string part_;
    std::string effect_;
    // Times in ms of Game::Time.
    float startTime_ = 0.0f;
    float lastTick_ = 0.0f;
    float now_ = 0.0f;
    float timer_ = 0.0f; // gathered toward the next "timer"
    bool active_ = false;
    bool prepared_ = false;
    std::string sound_;
    std::map<std::string, std::string> events_;
    // Whether the clock has a last tick: set by FireStart and by the first Tick, so a state
    // ticked without a start does not catch up from time 0.
    bool clockSet_ = false;
};

} // namespace State
