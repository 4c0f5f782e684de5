#include "Sound/Music.h"

#include "Game/Check.h"
#include "Game/Log.h"
#include "Include/common/Text.h"
#include "Sound/Manager.h"

namespace Sound {

namespace {

const char* const kWhere = ".\\Sound\\Music";
// Cross-fades between tracks take two seconds.
constexpr float kCrossFade = 2000.0f;

} // namespace

Music::Music(Manager* owner) : owner_(owner) {
    tracks_[Silence()] = MusicTrack{std::string(), false, 1e10f};
}

MusicTrack Music::ReadTrack(const XmlDom::Element& music) {
    MusicTrack track;
    track.src_ = XmlDom::RequiredAttr(music, "src");
    track.force_ = XmlDom::Attr(music, "force", "no") != "no";
    track.wait_ = xs::text::ParseFloat(XmlDom::Attr(music, "wait", "0"));
    return track;
}

void Music::Add(const MusicTrack& track) {
    // "silence" is the idle name and no track: a definition cannot replace it (a forced
    // silence would keep every track from starting).
    if (!IsTrack(track.src_)) {
        return;
    }
    tracks_[track.src_] = track;
    owner_->Load(SoundDef{track.src_, SoundDef::kStream}, false);
}

void Music::play(const std::string& name) {
    if (name == current_ || name.empty()) {
        return;
    }
    LogWrite("Music::play " + name);
    next_ = name;
    if (!tracks_[current_].force_) {
        NextTrack();
    }
}

void Music::Update() {
    switch (state_) {
    case kWaiting:
        if (WaitOver()) {
            NextTrack();
        }
        break;
    case kPlaying:
        if (PlayingDone()) {
            StartWaiting();
        }
        break;
    default:
        Assert(false, kWhere, "!\"Undefined music manager state\"");
    }
}

bool Music::PlayingDone() const {
    return current_ == Silence() || !owner_->IsFading(current_);
}

bool Music::WaitOver() const {
    // A track that could not be loaded is not tried again and again: only a new request
    // ends its wait.
    const bool playable = next_ != current_ || owner_->Find(current_) != nullptr;
    return current_ != Silence() && playable && owner_->Now() > waitUntil_;
}

void Music::StartWaiting() {
    LogWrite("Waiting");
    state_ = kWaiting;
    waitUntil_ = owner_->Now() + tracks_[current_].wait_;
}

void Music::NextTrack() {
    Assert(!next_.empty(), kWhere, "! next_.empty()");
    LogWrite("Switching to next track");
    if (next_ != current_) {
        previous_ = current_;
        current_ = next_;
        if (IsTrack(previous_)) {
            owner_->FadeTo(SoundDef{previous_, SoundDef::kStream}, 0.0f, kCrossFade, false);
        }
    } else {
        previous_.clear();
    }
    if (IsTrack(current_)) {
        owner_->FadeTo(SoundDef{current_, SoundDef::kStream}, 1.0f, kCrossFade, false);
    }
    state_ = kPlaying;
}

} // namespace Sound
