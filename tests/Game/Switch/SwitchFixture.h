#pragma once

#include "Game/Map.h"
#include "Game/XmlDom.h"
#include "States/Base.h"
#include "support/GameFixture.h"

#include <cstdint>
#include <memory>
#include <string>

namespace test {

// The game's map loaded from state elements, whose switch events are noted in the Lua
// table `seen` as "name:event", and frames driven on the hand-made clock.
class SwitchFixture : public GameFixture {
protected:
    SwitchFixture() { Prepare(); }

    // A new game object with the script API and an empty `seen`.
    void Fresh() {
        RenewGame();
        Prepare();
    }

    // A state element noting its start, stop, activate and deactivate; `events` adds more.
    static std::string Noted(const std::string& tag, const std::string& name,
                             const std::string& attributes = "", const std::string& events = "") {
        // Screens need their picture.
        const bool screen = tag == "screen" || tag == "menu" || tag == "loading" || tag == "page";
        std::string xml = "<" + tag + " name=\"" + name + "\" " +
                          (screen ? "src=\"" + name + ".png\" " : "") + attributes + ">";
        for (const char* event : {"start", "stop", "activate", "deactivate"}) {
            xml += std::string("<event name=\"") + event + "\">seen[#seen + 1] = '" + name + ":" +
                   event + "'</event>";
        }
        return xml + events + "</" + tag + ">";
    }

    static std::string Event(const std::string& name, const std::string& script) {
        return "<event name=\"" + name + "\">" + script + "</event>";
    }

    // Loads one part holding `content` into the game's map.
    static void LoadPart(const std::string& content) {
        const std::string xml = "<korvantine><map autoload=\"p\" menu=\"menu\"><part name=\"p\" "
                                "start=\"A\" load=\"L\" effect=\"clean\"><sounds/><textures/>" +
                                content + "</part></map></korvantine>";
        game().map_.Load(XmlDom::Child(XmlDom::Root(XmlDom::LoadString(xml)), "map"));
    }

    // The events noted since the last call, joined by blanks.
    std::string Seen() {
        const std::string seen = Eval("table.concat(seen, ' ')");
        game().lua_.Execute("seen = {}");
        return seen;
    }

    // One frame `ms` after the last: the current state's tick.
    void Frame(std::uint64_t ms) {
        Advance(ms);
        game().UpdateClock();
        if (const std::shared_ptr<State::Base> state = game().map_.CurrentState()) {
            state->Tick();
        }
    }

    // Frames of 300 ms until no transition is current (at most 20).
    void RunOut() {
        for (int i = 0; i < 20 && map().Current().compare(0, 2, "t_") == 0; ++i) {
            Frame(300);
        }
    }

    // The first move, to A, then the move from A to B.
    void Cross() {
        map().SetState("A");
        map().SetState("B");
    }

    Map& map() { return game().map_; }

private:
    void Prepare() {
        game().RegisterApi();
        game().lua_.Execute("seen = {}");
    }
};

} // namespace test
