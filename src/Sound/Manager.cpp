#include "Sound/Manager.h"

#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Platform/Audio/Event.h"
#include "Platform/Audio/Results.h"
#include "Sound/Sfx.h"
#include "Sound/SfxStreamed.h"

#include <utility>
#include <vector>

namespace Sound {

namespace {

const char* const kWhere = ".\\Sound\\Sound";

// A fade value below this is silence: the sound stops and leaves the fades.
constexpr float kAudible = 0.00001f;
// The volume a fade starts a sound at.
constexpr float kFadeStart = 0.0001f;

} // namespace

Manager::Manager(std::function<float()> clock) : clock_(std::move(clock)), music_(this) {
    streamEvent_ = std::make_shared<Audio::Event>("SyncStream");
}

Manager::~Manager() = default;

float Manager::Now() const {
    return clock_ ? clock_() : game().Time();
}

float Manager::SoundVolume() const {
    return opts().soundVolume_ * soundScale_;
}

float Manager::MusicVolume() const {
    return opts().musicVolume_ * musicScale_;
}

void Manager::Update(float now) {
    UpdateFades(now);
    UpdateStreams();
    music_.Update();
}

void Manager::UpdateFades(float now) {
    for (auto it = fades_.begin(); it != fades_.end();) {
        const std::string& name = it->first;
        SoundFade& fade = it->second;
        Assert(!name.empty(), kWhere, "! name.empty ()");
        Assert(fade.sound_ != nullptr, kWhere, "fade.sound != 0");
        const float factor = music_.IsMusic(name) ? MusicVolume() : SoundVolume();
        const float v = fade.volume_.Value(now);
        if (v >= kAudible && fade.sound_->IsPlaying()) {
            fade.sound_->SetVolume(v * factor);
            ++it;
            continue;
        }
        LogFormat("Sound '%1%' removed from fade", name);
        fade.sound_->Stop();
        it = fades_.erase(it);
    }
}

void Manager::UpdateStreams() {
    if (!streamEvent_->IsSet()) {
        return;
    }
    streamEvent_->Reset();
    // The preload worker may add sounds meanwhile: refill from a copy taken under the lock.
    std::vector<boost::shared_ptr<SfxStreamed>> streams;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        streams.reserve(streamed_.size());
        for (const auto& entry : streamed_) {
            streams.push_back(entry.second);
        }
    }
    for (const auto& stream : streams) {
        if (stream->IsPlaying()) {
            stream->Update();
        }
    }
}

Base* Manager::Find(const std::string& src) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return FindLocked(src);
}

Base* Manager::FindLocked(const std::string& src) const {
    if (auto found = static_.find(src); found != static_.end()) {
        return found->second.get();
    }
    if (auto found = streamed_.find(src); found != streamed_.end()) {
        return found->second.get();
    }
    return nullptr;
}

Base* Manager::FindStatic(const std::string& src) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = static_.find(src);
    return found != static_.end() ? found->second.get() : nullptr;
}

Base* Manager::Load(const SoundDef& def, bool late) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (Base* found = FindLocked(def.src_)) {
            return found;
        }
        // A late load of a path that failed before gives nothing quietly; the preload of its
        // part (or the definition's music) tries it again.
        if (!late) {
            failed_.erase(def.src_);
        } else if (failed_.count(def.src_) != 0) {
            return nullptr;
        }
    }
    LogFormat(late ? "Warning : preloading not enabled for %1%" : "Loading sound file '%1%'",
              def.src_);
    if (!SoundFile::IsKnown(def.src_)) {
        return nullptr;
    }
    return Create(def);
}

Base* Manager::Create(const SoundDef& def) {
    // Created outside the lock: decoding a file must not hold up the frame.
    const bool loop = (def.flags_ & SoundDef::kLoop) != 0;
    boost::shared_ptr<SfxStreamed> stream;
    boost::shared_ptr<Sfx> sfx;
    try {
        if ((def.flags_ & SoundDef::kStream) != 0) {
            stream.reset(new SfxStreamed(def.src_, streamEvent_, loop));
        } else {
            const std::uint32_t flags = (def.flags_ & SoundDef::kPan) != 0
                                            ? Audio::Caps::CtrlVolume | Audio::Caps::Ctrl3D
                                            : Audio::Caps::CtrlVolume;
            sfx.reset(new Sfx(def.src_, flags, loop));
        }
    } catch (const std::exception& e) {
        // One bad file must not end the game: the sound is skipped wherever it is asked for.
        bool first = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            first = failed_.insert(def.src_).second;
        }
        if (first) {
            LogFormat("Cannot load sound '%1%': %2%", def.src_, e.what());
        }
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    // Another thread may have created the path meanwhile: the first creation wins.
    if (Base* found = FindLocked(def.src_)) {
        return found;
    }
    if (stream) {
        return streamed_.emplace(def.src_, stream).first->second.get();
    }
    return static_.emplace(def.src_, sfx).first->second.get();
}

void Manager::FadeTo(const SoundDef& def, float target, float ms, bool restart) {
    auto fade = fades_.find(def.src_);
    if (fade == fades_.end()) {
        Base* sfx = Load(def, true);
        if (sfx == nullptr) {
            return; // no sound to fade: Load has said why
        }
        SoundFade record;
        record.volume_ = {kFadeStart, kFadeStart, 0.0f, 1.0f};
        record.sound_ = sfx;
        fade = fades_.emplace(def.src_, record).first;
        const bool looping = sfx->Loop() || sfx->IsStreamed();
        if (restart) {
            sfx->SeekStart();
        }
        sfx->Play(kFadeStart, looping);
    }
    fade->second.volume_.Retarget(target, Now(), ms);
}

void Manager::Fade(const std::string& name, float volume, float ms) {
    FadeTo(SoundDef{name, 0}, volume, ms, true);
}

void Manager::PlaySfx(const std::string& name, float volume) {
    Base* sfx = Load(SoundDef{name, 0}, true);
    if (sfx == nullptr) {
        return;
    }
    sfx->SeekStart();
    // A streamed sound runs its ring looping and stops itself at the end of its data.
    sfx->Play(SoundVolume() * volume, sfx->IsStreamed());
}

void Manager::Play(const std::string& name) {
    PlaySfx(name, 1.0f);
}

} // namespace Sound
