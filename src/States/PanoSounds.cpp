// The panorama's sounds: which of them play, how loud and where, through the sound manager by
// source name. A sound the manager holds no static sound for (one that could not be made, a
// "silence", or one a part streams) is skipped, as nothing of it could be played or placed.

#include "Game/Game.h"
#include "Game/Log.h"
#include "Platform/Audio/Results.h"
#include "Sound/Base.h"
#include "States/Pano.h"

#include <cmath>

namespace State {

namespace {

constexpr float kFadeMs = 1000.0f;
// The volume follows the turning view with this lag.
constexpr float kFollowMs = 50.0f;

} // namespace

void Pano::CollectSounds(MapPart& part) {
    for (const auto& [src, sound] : sounds_) {
        if (src != "silence") {
            // An entry of the part's own sound list keeps its flags.
            part.sounds_.try_emplace(src, SoundDef{src, SoundDef::kPan});
        }
    }
}

void Pano::LoadSounds() {
    for (const auto& [src, sound] : sounds_) {
        game().sound_.Load(SoundDef{src, SoundDef::kPan | SoundDef::kReverb | SoundDef::kLoop},
                           true);
    }
}

void Pano::StartSounds() {
    Sound::Manager& manager = game().sound_;
    for (auto& [src, sound] : sounds_) {
        const Sound::Base* s = manager.FindStatic(src);
        if (s == nullptr) {
            continue;
        }
        if (!s->Loop()) {
            sound.on_ = false;
        }
        if (sound.on_) {
            manager.Fade(src, sound.max_, kFadeMs);
        }
    }
}

void Pano::StopSounds() {
    Sound::Manager& manager = game().sound_;
    for (const auto& [src, sound] : sounds_) {
        if (manager.FindStatic(src) != nullptr) {
            manager.Fade(src, 0.0f, kFadeMs);
        }
    }
}

void Pano::UpdateSounds() {
    Sound::Manager& manager = game().sound_;
    for (auto& [src, sound] : sounds_) {
        Sound::Base* s = manager.FindStatic(src);
        if (s == nullptr) {
            continue;
        }
        if (!s->Loop() && !s->IsPlaying()) {
            // A one-shot sound that has finished switches itself off.
            sound.on_ = false;
        }
        if (!sound.on_) {
            continue;
        }
        const float d = PanoDist(sound.course_);
        manager.Fade(src, sound.max_ + (sound.min_ - sound.max_) * d, kFollowMs);
        if ((s->Flags() & Audio::Caps::Ctrl3D) != 0) {
            const float dh = sound.course_ - course_;
            const float dp = sound.pitch_ - pitch_;
            s->SetPosition(std::sin(dh) * std::cos(dp), std::sin(dp), std::cos(dh) * std::cos(dp));
        }
    }
}

void Pano::SetSound(std::string src, int on) {
    const auto found = sounds_.find(src);
    if (found == sounds_.end()) {
        LogWrite("sound not found");
        return;
    }
    PanoSound& sound = found->second;
    sound.on_ = on != 0;
    if (game().sound_.FindStatic(src) != nullptr) {
        game().sound_.Fade(src, sound.on_ ? sound.max_ : 0.0f, kFadeMs);
    }
}

} // namespace State
