#include "States/Video.h"

#include "Effects/Effects.h"
#include "Game/Exception.h"
#include "Game/Game.h"
#include "Video/TheoraFile.h"

#include <boost/lexical_cast.hpp>
#include <cmath>

namespace State {

namespace {

// The film look while a video plays.
constexpr float kCachet = 0.25f;

} // namespace

void Video::Load(const XmlDom::Element& element) {
    src_ = XmlDom::RequiredAttr(element, "src");
    LoadSubtitles(subtitles_, XmlDom::Attr(element, "subtitles", ""));
    const std::string timeout = XmlDom::RequiredAttr(element, "timeout");
    try {
        timeout_ = boost::lexical_cast<float>(timeout);
    } catch (const boost::bad_lexical_cast&) {
        throw exception("Bad timeout format");
    }
    // A timeout that is not a number would never pass, an infinite one neither.
    if (!std::isfinite(timeout_)) {
        throw exception("Bad timeout format");
    }
}

void Video::Prepare() {
    if (decoder_ == nullptr) {
        decoder_ = std::make_shared<TheoraFile>(src_);
    }
}

void Video::Start() {
    decoder_ = std::make_shared<TheoraFile>(src_);
    game().cachet_ = kCachet;
    clockWasRunning_ = game().ClockRunning();
    game().SetClockRunning(false);
    subtitles_.Restart();
}

void Video::Stop() {
    game().cachet_ = 0.0f;
    game().SetClockRunning(clockWasRunning_);
    // A film left before its last line (skipped, or moved away from) takes its subtitle
    // with it, as a cut-scene does; otherwise the line stays over every later scene.
    game().SetSubtitle("");
}

void Video::Render() {
    if (decoder_ != nullptr) {
        Effect::Video& video = effects().video_;
        decoder_->UpdateSurface(*video.VideoSurface());
        Effect::FullScreen::Apply(video);
    }
    const float elapsed = now_ - startTime_;
    UpdateSubtitles(subtitles_, elapsed);
    if (active_ && elapsed > timeout_) {
        Exit();
    }
}

void Video::Input(const InputRecord* records, int count, bool keyboard) {
    // Each release fires its own "exit", as the script may stay on the scene.
    for (int n = CountSkipReleases(records, count, keyboard); n > 0; --n) {
        Exit();
    }
}

void Video::Exit() {
    FireEvent("exit");
}

} // namespace State
