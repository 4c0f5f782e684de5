#include "States/Screen.h"

#include "Game/Game.h"

namespace State {

void Screen::Load(const XmlDom::Element& element) {
    exit_ = XmlDom::Attr(element, "exit", "");
    exitContext_ = XmlDom::Attr(element, "exitcontext", "back");
    background_ = XmlDom::RequiredAttr(element, "src");
}

void Screen::CollectResources(std::vector<MapResource>& list, MapPart&) {
    if (!background_.empty()) {
        list.push_back({background_, MapResource::kSimple});
    }
}

void Screen::Exit() {
    // The move happens first; "exit" fires on the state left, whether or not it moved.
    game().map_.SetState(exit_);
    FireEvent("exit");
}

} // namespace State
