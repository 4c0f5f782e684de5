#include "States/Controls/Base.h"

#include "Game/Game.h"
#include "States/Controls/ControlBinding.h"

namespace State::Control {

void Base::LoadState(xs::IArchive&) {}
void Base::SaveState(xs::OArchive&) {}
void Base::Start() {}
void Base::Stop() {}
void Base::Layout() {}
void Base::Reset() {}
void Base::Bind(ScopedBinding&) {}
void Base::Unbind() noexcept {}
void Base::CollectResources(std::vector<MapResource>&, MapPart&) {}
void Base::CheckDefinition(const std::string&, const std::string&) const {}

void Base::LoadCommon(Base& control, const XmlDom::Element& element) {
    control.name_ = XmlDom::Attr(element, "name", "");
    const XmlDom::Selection events = XmlDom::SelectNodes(element, "event");
    for (int i = 0; i < events.Length(); ++i) {
        const XmlDom::Element event = XmlDom::Item(events, i);
        control.events_[XmlDom::RequiredAttr(event, "name")] = XmlDom::Text(event);
    }
    control.clickable_ = XmlDom::Attr(element, "click", "yes") != "no";
    control.Load(element);
    control.Reset();
    FireEvent(control, "init");
}

void Base::FireEvent(Base& control, const std::string& event) {
    const auto found = control.events_.find(event);
    if (found == control.events_.end() || found->second.empty()) {
        return;
    }
    const std::string script = found->second;
    const Where::Scope place(control.place_, Where::kEvent, Where::Named("event", event));
    lua::State& lua = game().lua_;
    ControlBinding binding(control, lua);
    lua.Execute(script);
}

void Base::OnEnter(Base& control) {
    FireEvent(control, "enter");
}

void Base::OnOver(Base& control) {
    FireEvent(control, "over");
}

void Base::OnLeave(Base& control) {
    FireEvent(control, "leave");
}

void Base::ResetPass(Base& control) {
    FireEvent(control, "reset");
    control.Reset();
}

void Base::RenderPass(Base& control) {
    FireEvent(control, "render");
    control.Render();
}

void Base::StopPass(Base& control) {
    FireEvent(control, "stop");
    control.Stop();
}

void Base::StartPass(Base& control) {
    control.Start();
    FireEvent(control, "start");
}

void Base::DeactivatePass(Base& control) {
    FireEvent(control, "deactivate");
}

void Base::ActivatePass(Base& control) {
    FireEvent(control, "activate");
}

} // namespace State::Control
