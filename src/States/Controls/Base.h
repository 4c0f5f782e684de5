#pragma once

#include "Game/MapPart.h"
#include "Game/Where.h"
#include "Game/XmlDom.h"

#include <map>
#include <string>
#include <vector>

namespace xs {
class IArchive;
class OArchive;
} // namespace xs

namespace State {
class ScopedBinding;
}

namespace State::Control {

// A scene control: a zone, an animated image, a slider or a text of a state. The base holds
// what every control shares (its name, whether it can be clicked, its Lua event scripts),
// reads the common part of its definition element, runs its event scripts with its own Lua
// functions bound, and carries the passes through which the owning state drives it. Each
// control is owned by a shared pointer of its concrete class in its state's control map.
class Base {
public:
    Base() = default;
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

    // Virtual operations, in this order.

    // Restores the run-time state from the control's node of a save game.
    virtual void LoadState(xs::IArchive& archive);
    // Writes the run-time state into the control's node of a save game.
    virtual void SaveState(xs::OArchive& archive);
    // The cursor context while the control is under the pointer; empty: never hit.
    virtual std::string GetContext() = 0;
    // Draws the control; the render pass calls it every frame the state is drawn.
    virtual void Render() = 0;
    // The primary button was released over the control it was pressed on.
    virtual void Click() = 0;
    // Reads the kind's own attributes and children from the definition element.
    virtual void Load(const XmlDom::Element& element) = 0;
    virtual void Start();
    virtual void Stop();
    // Places the control once, when its state is first prepared.
    virtual void Layout();
    // Returns to the look the definition gives.
    virtual void Reset();
    // Publishes the control's own Lua functions for the length of one script, each through
    // `scope.Bind(name, this, &Kind::Member)`; the scope withdraws them when the script
    // ends, also by an error, and re-publishes whatever was bound under those names before.
    virtual void Bind(ScopedBinding& scope);
    // The script that ran with the control's functions bound has ended (also by an error),
    // just before the scope withdraws them. Runs while an error may be unwinding: must not
    // throw.
    virtual void Unbind() noexcept;
    // Appends the textures the control needs to its part's resource list; once, after
    // loading.
    virtual void CollectResources(std::vector<MapResource>& list, MapPart& part);
    // Logs what of its definition the control cannot show, naming the state that holds it
    // and its key there; once, when the state has read its controls.
    virtual void CheckDefinition(const std::string& state, const std::string& key) const;

    // Reads a control from its definition element, right after construction: "name"
    // (default empty), the `event` children (a later one of a name replaces an earlier),
    // "click" (clickable unless exactly "no"), then the kind's Load, its Reset and the
    // "init" event.
    static void LoadCommon(Base& control, const XmlDom::Element& element);
    // Runs the control's script for one event, with the control's functions bound for its
    // length. No script, or an empty one: nothing runs and nothing is bound. A Lua error
    // passes on as lua::exception, after the bindings are undone.
    static void FireEvent(Base& control, const std::string& event);

    // Hover events of the panorama.
    static void OnEnter(Base& control);
    static void OnOver(Base& control);
    static void OnLeave(Base& control);

    // The passes by which a state drives its controls, one control at a time.
    static void ResetPass(Base& control);      // "reset", then Reset
    static void RenderPass(Base& control);     // "render", then Render
    static void StopPass(Base& control);       // "stop", then Stop
    static void StartPass(Base& control);      // Start, then "start"
    static void DeactivatePass(Base& control); // "deactivate"
    static void ActivatePass(Base& control);   // "activate"

    bool clickable_ = false;
    // The "name" attribute as written; empty when the definition gives none.
    std::string name_;
    // Event name -> Lua text.
    std::map<std::string, std::string> events_;
    // Where the control is (part, state, its kind and key), for the log line of an error in
    // one of its scripts; set by the factory that reads it.
    Where::Place place_;

protected:
    // Controls are destroyed only through the shared pointers that own them.
    virtual ~Base() = default;
};

} // namespace State::Control
