#pragma once

#include "Game/AnimatedValue.h"
#include "Sound/Music.h"
#include "Sound/SoundDef.h"

#include <boost/shared_ptr.hpp>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace Audio {
class Event;
}

namespace Sound {

class Base;
class Sfx;
class SfxStreamed;

// The only entry to audio: owns every sound of the game (created once from its definition,
// kept under its source path until the manager goes), drives volume fades and the music
// player, and refills the streamed sounds once per frame.
//
// Threads: Load may run on the preload worker while the user-interface thread calls the
// rest. The two sound maps and the failed paths are guarded by a mutex; a sound is created outside
// the lock and the first creation of a path wins. Fades and music belong to the user-interface
// thread.
class Manager {
public:
    // `clock` gives the time base in ms (Game::Time when empty).
    explicit Manager(std::function<float()> clock = {});
    ~Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    // Once per frame: the fades, the refills of the playing streams, the music step.
    void Update(float now);

    // The sound of def.src, created when it does not exist yet (then def's flags decide its
    // kind). Null for a path whose extension names no sound format, and for a sound that
    // cannot be made (a missing or bad file, a buffer the device refuses): that logs
    // "Cannot load sound '<path>': <reason>" and the path is remembered as failed, so late
    // loads give null without trying or logging again. A load that is not late (the preload
    // of the path's part, the definition's music) tries a failed path once more.
    Base* Load(const SoundDef& def, bool late);
    Base* LoadLate(const SoundDef& def) { return Load(def, true); }
    // The static sounds first, then the streamed ones; null when neither has the path.
    Base* Find(const std::string& src) const;
    Base* FindStatic(const std::string& src) const;

    bool IsFading(const std::string& name) const { return fades_.count(name) != 0; }
    // Drives the sound's volume to `target` over `ms`. A sound not yet fading is started
    // (from its beginning when `restart`) at the lowest volume; one already fading only
    // changes its goal. A sound that cannot be loaded is skipped.
    void FadeTo(const SoundDef& def, float target, float ms, bool restart);
    // Lua "fade".
    void Fade(const std::string& name, float volume, float ms);
    // Plays the sound once from its start at the sound volume × `volume`.
    void PlaySfx(const std::string& name, float volume);
    // Lua "play".
    void Play(const std::string& name);

    // The settings' volumes times the manager's factors, read afresh on every call.
    float SoundVolume() const;
    float MusicVolume() const;

    void AddMusic(const MusicTrack& track) { music_.Add(track); }
    void PlayMusic(const std::string& name) { music_.play(name); }
    Music& GetMusic() { return music_; }

    // The time base of fades and music waits.
    float Now() const;

private:
    struct SoundFade {
        AnimatedValue<Easing::Linear> volume_;
        Base* sound_ = nullptr; // owned by a sound map
    };

    // Find with mutex_ held.
    Base* FindLocked(const std::string& src) const;
    // Creates the sound of def (outside the lock); logs and remembers a failure.
    Base* Create(const SoundDef& def);
    void UpdateFades(float now);
    void UpdateStreams();

    std::function<float()> clock_;
    std::shared_ptr<Audio::Event> streamEvent_;
    Music music_;
    mutable std::mutex mutex_; // guards the two sound maps and the failed paths
    std::map<std::string, boost::shared_ptr<SfxStreamed>> streamed_;
    std::map<std::string, boost::shared_ptr<Sfx>> static_;
    std::set<std::string> failed_; // paths whose sound could not be made
    std::map<std::string, SoundFade> fades_;
    float soundScale_ = 1.0f;
    float musicScale_ = 0.7f;
};

} // namespace Sound
