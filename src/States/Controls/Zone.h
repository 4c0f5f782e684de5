#pragma once

#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Where.h"
#include "States/Controls/AreaShape.h"
#include "States/Controls/BaseImpl.h"

#include <string>
#include <vector>

namespace State::Control {

// What the zones of screens and panoramas share: an invisible region whose click runs a Lua
// text, hovered with a cursor context, drawn only in the "area" debug mode.
template <typename R>
class Zone : public BaseImpl<R> {
public:
    std::string GetContext() override { return context_; }
    // The debug drawing, on the game's device when there is one.
    void Render() override {
        if (GfxLink::HasDevice()) {
            RenderOn(GfxLink::Device());
        }
    }
    // Draws the region in translucent green in the "area" debug mode.
    virtual void RenderOn(Gfx::Device& device) = 0;
    // Runs the zone's script in the game's interpreter; a Lua error is logged and the game
    // goes on, any other error passes on.
    void Click() override {
        const Where::Scope place(this->place_, Where::kEvent, "event 'click'");
        game().RunScript(script_);
    }

    const std::string& Script() const { return script_; }

protected:
    // "context" (default "move") and the element's text as the script; read after the region.
    void LoadScript(const XmlDom::Element& element) {
        context_ = XmlDom::Attr(element, "context", "move");
        script_ = XmlDom::Text(element);
    }

    std::string script_;
    std::string context_;
    // The vertices of the debug drawing, built at its first use: the region does not change
    // after loading.
    std::vector<AreaVertex> cache_;
};

} // namespace State::Control
