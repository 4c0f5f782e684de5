#pragma once

#include "Game/XmlDom.h"

#include <cstdint>
#include <map>
#include <string>

namespace Sound {

class Manager;

// One music track: its source path, whether it plays to its end before another track may
// start, and the pause after its end before it (or the track asked for meanwhile) starts.
struct MusicTrack {
    std::string src_;
    bool force_ = false;
    float wait_ = 0.0f; // ms
};

// The music player: cross-fades between tracks through the owner's fades. A track plays
// until its stream ends, then the player waits for the track's wait and starts the track
// asked for last (the same one again when nothing new was asked). A track whose sound cannot
// be loaded plays as silence: the player waits until another track is asked for.
// User-interface thread.
class Music {
public:
    enum State : std::int32_t { kWaiting = 0, kPlaying = 1 };

    explicit Music(Manager* owner);

    // A part's `music` element: "src" required, "force" (true unless "no", default "no"),
    // "wait" (ms, default 0; a text that is no finite number throws).
    static MusicTrack ReadTrack(const XmlDom::Element& music);
    // Registers the track (a repeated src replaces the earlier one) and preloads it as a
    // streamed sound.
    void Add(const MusicTrack& track);
    // Asks for a track: at once unless the current track is forced to play to its end.
    // The current track's name, and an empty name, change nothing.
    void play(const std::string& name);
    // The music step of the manager's frame update.
    void Update();

    static bool IsTrack(const std::string& name) { return !name.empty() && name != Silence(); }
    static const char* Silence() { return "silence"; }
    // Any music track (a registered one, the one playing or one fading out): faded at the
    // music volume, however many tracks have been asked for since it played.
    bool IsMusic(const std::string& name) const {
        return name == previous_ || name == current_ || (IsTrack(name) && tracks_.count(name) != 0);
    }
    void SetNext(const std::string& name) { next_ = name; }

    const std::string& Current() const { return current_; }
    const std::string& Next() const { return next_; }
    const std::string& Previous() const { return previous_; }
    std::int32_t GetState() const { return state_; }

private:
    bool PlayingDone() const;
    bool WaitOver() const;
    void StartWaiting();
    void NextTrack();

    std::map<std::string, MusicTrack> tracks_;
    std::string current_ = Silence();
    std::string next_ = Silence();
    std::string previous_;
    float waitUntil_ = 0.0f;
    std::int32_t state_ = kPlaying;
    Manager* owner_;
};

} // namespace Sound
