#include "States/Video.h"

#include "Effects/Effects.h"
#include "Game/Check.h"
#include "Game/Exception.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Log.h"
#include "Platform/Gfx/Device.h"
#include "Video/TheoraFile.h"

#include <boost/lexical_cast.hpp>
#include <cmath>
#include <stdexcept>

namespace State {

namespace {

constexpr const char* kWhere = ".\\States\\Video";
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
        Open();
        unplayed_ = true;
    }
}

void Video::Start() {
    // A film that Prepare has just opened (or failed to open) is at its beginning: each
    // visit opens the film once.
    if (!unplayed_) {
        Open();
    }
    unplayed_ = false;
    game().cachet_ = kCachet;
    clockWasRunning_ = game().ClockRunning();
    game().SetClockRunning(false);
    subtitles_.Restart();
}

void Video::Open() {
    decoder_.reset();
    try {
        decoder_ = std::make_shared<TheoraFile>(src_);
    } catch (const std::runtime_error& e) {
        // A film that cannot be played leaves the screen black; the subtitles, the timeout
        // and the skip keys still move the game on.
        LogFormat("Cannot play video '%1%': %2%", src_, e.what());
    }
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
        try {
            decoder_->UpdateSurface(*video.VideoSurface());
        } catch (const std::runtime_error& e) {
            // The film has ended at the failure: the last good picture stays.
            LogFormat("Cannot play video '%1%': %2%", src_, e.what());
        }
        Effect::FullScreen::Apply(video);
    } else if (prepared_) {
        // Started, but its film could not be opened: black.
        CheckResult(GfxLink::Device().Clear(0xFF000000), kWhere,
                    "device->Clear(0, NULL, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0)");
    }
    const float elapsed = now_ - startTime_;
    UpdateSubtitles(subtitles_, elapsed);
    if (active_ && elapsed > timeout_) {
        Exit();
    }
}

void Video::Input(const InputRecord* records, int count, bool keyboard) {
    SkipOnEachRelease(records, count, keyboard, [this] { Exit(); });
}

void Video::Exit() {
    FireEvent("exit");
}

} // namespace State
