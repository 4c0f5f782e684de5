#include "States/Cut.h"

#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "States/Pano.h"
#include "States/ScreenServices.h"

#include <boost/lexical_cast.hpp>
#include <cstdint>
#include <utility>

namespace State {

namespace {

// The film look of the final pass while a cut-scene plays.
constexpr float kCachet = 0.25f;

} // namespace

void Cut::Load(const XmlDom::Element& element) {
    panoName_ = XmlDom::RequiredAttr(element, "pano");
    const XmlDom::Selection scripts = XmlDom::SelectNodes(element, "script");
    for (int i = 0; i < scripts.Length(); ++i) {
        const XmlDom::Element script = XmlDom::Item(scripts, i);
        // Negative times wrap round as unsigned numbers: -1 lies beyond any real scene.
        const auto time = static_cast<std::uint32_t>(
            boost::lexical_cast<int>(XmlDom::RequiredAttr(script, "time")));
        scripts_.emplace(static_cast<float>(time), XmlDom::Text(script));
    }
    LoadSubtitles(subtitles_, XmlDom::Attr(element, "subtitles", ""));
}

void Cut::Start() {
    nextScript_ = scripts_.begin();
    subtitles_.Restart();
    game().cachet_ = kCachet;
    CameraMove::Publish(game().lua_, this);
    opts().swayAllowed_ = false;
    camera_.Restart(0.0f, 0.0f, now_);
    ScreenServices::SetPointer(0.5f, 0.5f);
    // Resolved now, so a panorama defined in a later part, or defined again, is the one the
    // map holds when the scene plays.
    pano_ = std::dynamic_pointer_cast<Pano>(game().map_.GetState(panoName_));
    if (!pano_) {
        LogWrite("Cut-scene '" + LogValue(name_) + "' has no panorama '" + LogValue(panoName_) +
                 "' to show");
        return;
    }
    pano_->FireStart();
}

void Cut::Stop() {
    game().cachet_ = 0.0f;
    CameraMove::Withdraw(game().lua_);
    opts().swayAllowed_ = true;
    game().SetSubtitle("");
    if (const std::shared_ptr<Pano> pano = std::exchange(pano_, nullptr)) {
        pano->FireStop();
    }
}

void Cut::Render() {
    const float elapsed = now_ - startTime_;
    while (nextScript_ != scripts_.end() && nextScript_->first < elapsed) {
        // Advanced before running: a script that fails has had its turn.
        const auto& [time, script] = *nextScript_++;
        const Where::Scope place(Place(), Where::kEvent,
                                 "script at " + std::to_string(std::uint32_t(time)) + " ms");
        game().lua_.Execute(script);
    }
    UpdateSubtitles(subtitles_, elapsed);
    if (pano_) {
        camera_.Apply(*pano_, now_);
        pano_->Tick();
    }
}

void Cut::Input(const InputRecord* records, int count, bool keyboard) {
    SkipOnEachRelease(records, count, keyboard, [this] { Exit(); });
}

void Cut::SetView(float heading, float pitch) {
    SetPos(heading, pitch, 1);
}

void Cut::Exit() {
    FireEvent("exit");
}

void Cut::SetPos(float heading, float pitch, int ms) {
    camera_.SetPos(heading, pitch, ms, now_, false);
}

void Cut::SetFov(float degrees, int ms) {
    camera_.SetFov(degrees, ms, now_);
}

} // namespace State
