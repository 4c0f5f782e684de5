#include "States/Base.h"

#include "FileSystem/Locator.h"
#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "States/ScopedBinding.h"

namespace State {

namespace {

constexpr float kTimerPeriod = 100.0f; // ms between "timer" events

bool HoldsPrimaryRelease(const InputRecord* records, int count) {
    const std::uint32_t primary = opts().mouseLeftHanded_ ? kMouseButton1 : kMouseButton0;
    for (int i = 0; i < count; ++i) {
        if (records[i].dwOfs == primary && (records[i].dwData & kPressedBit) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

void Base::LoadState(xs::IArchive&) {}
void Base::SaveState(xs::OArchive&) {}
void Base::Load(const XmlDom::Element&) {}
void Base::Prepare() {}
void Base::Start() {}
void Base::Stop() {}
void Base::Reset() {}
void Base::Render() {}
bool Base::Activate() {
    return true;
}
void Base::Deactivate() {}
void Base::Input(const InputRecord*, int, bool) {}
void Base::SetView(float, float) {}
bool Base::ShowCursor() {
    return true;
}
bool Base::ShowInventory() {
    return true;
}
void Base::CollectResources(std::vector<MapResource>&, MapPart&) {}
std::string Base::GetEffect() {
    return effect_;
}
void Base::CancelPress() {}

void Base::LoadSubtitles(SubtitleTrack& track, const std::string& path) {
    if (path.empty()) {
        return;
    }
    std::vector<std::uint8_t> bytes;
    if (!Locator::Instance().ReadAll(path, bytes)) {
        LogWrite("Cannot open subtitles file");
        return;
    }
    for (const SubtitleTrack::BadLine& line :
         track.Parse(std::string(bytes.begin(), bytes.end()))) {
        LogFormat("Subtitles file '%1%', line %2%: %3%; the line is skipped", path, line.number,
                  line.reason);
    }
}

void Base::UpdateSubtitles(SubtitleTrack& track, float elapsed) {
    track.Update(elapsed, [](const std::string& text) { game().SetSubtitle(text); });
}

void Base::LoadCommon(const XmlDom::Element& element, const std::string& partName) {
    name_ = XmlDom::RequiredAttr(element, "name");
    effect_ = XmlDom::Attr(element, "effect", "");
    sound_ = XmlDom::Attr(element, "sound", "");
    part_ = partName;
    const XmlDom::Selection events = XmlDom::SelectNodes(element, "event");
    for (int i = 0; i < events.Length(); ++i) {
        const XmlDom::Element event = XmlDom::Item(events, i);
        events_[XmlDom::RequiredAttr(event, "name")] = XmlDom::Text(event);
    }
    Load(element);
    FireEvent("init");
}

void Base::FireEvent(const std::string& event) {
    const auto found = events_.find(event);
    if (opts().verbose_ && event != "render" && event != "timer") {
        LogWrite(name_ + " -> " + event);
    }
    if (found == events_.end() || found->second.empty()) {
        return;
    }
    const std::string script = found->second;
    const Where::Scope place(Place(), Where::kEvent, Where::Named("event", event));
    lua::State& lua = game().lua_;
    ScopedBinding binding(lua);
    binding.Bind("is_active", this, &Base::IsActive);
    lua.Execute(script);
}

Where::Place Base::Place() const {
    return {Where::Named("part", part_), Where::Named("state", name_)};
}

void Base::Tick() {
    now_ = game().Time();
    if (!clockSet_) {
        lastTick_ = now_;
        clockSet_ = true;
    }
    Render();
    FireEvent("render");
    timer_ += now_ - lastTick_;
    while (timer_ > kTimerPeriod) {
        FireEvent("timer");
        timer_ -= kTimerPeriod;
    }
    lastTick_ = now_;
}

void Base::HandleInput(Base& state, const InputRecord* records, int count, bool keyboard) {
    Opts::Data& settings = opts();
    if (settings.debug_ && keyboard) {
        for (int i = 0; i < count; ++i) {
            const InputRecord& record = records[i];
            if ((record.dwOfs == kKeyApostrophe || record.dwOfs == kKeyGrave) &&
                (record.dwData & kPressedBit) == 0) {
                settings.area_ = !settings.console_;
                settings.console_ = settings.area_;
                settings.info_ = settings.area_;
            }
        }
    }
    if (game().Time() < game().haltUntil_) {
        // Halted input is lost; a lost release must not leave a press captured.
        if (!keyboard && HoldsPrimaryRelease(records, count)) {
            state.CancelPress();
        }
        return;
    }
    state.Input(records, count, keyboard);
}

void Base::FireStart() {
    if (!prepared_) {
        Prepare();
    }
    prepared_ = true;
    startTime_ = lastTick_ = now_ = game().Time();
    timer_ = 0.0f;
    clockSet_ = true;
    if (!sound_.empty()) {
        game().sound_.PlayMusic(sound_);
    }
    Start();
    FireEvent("start");
}

void Base::FireStop() {
    FireEvent("stop");
    Stop();
}

void Base::FireActivate() {
    active_ = Activate();
    FireEvent("activate");
}

void Base::FireDeactivate() {
    active_ = false;
    Deactivate();
    FireEvent("deactivate");
}

void Base::Restart() {
    Reset();
    FireEvent("init");
    FireEvent("reset");
}

} // namespace State
