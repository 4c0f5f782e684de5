#pragma once

#include "Game/Where.h"
#include "Game/XmlDom.h"
#include "States/Controls/Base.h"

#include <map>
#include <memory>
#include <string>

namespace State::Control {

// A state's controls by key, walked in ascending key order. C is the common class of the
// map's controls (FlatControl, PanoControl or Base).
template <typename C>
using ControlMap = std::map<std::string, std::shared_ptr<C>>;

// The key of a control in its state's map: its "name" attribute or, without one, its tag
// followed by its zero-based position among its siblings of that tag (zone0, image1).
std::string ControlKey(const XmlDom::Element& element, const std::string& tag, int index);

// The control factory of one child kind: for each child `tag` of `parent`, in document order,
// makes a T, reads it (Base::LoadCommon, which also runs its Load, Reset and "init") and
// stores it under its key; a later control with the key of an earlier one replaces it. The
// control remembers its place (part, state, and its kind and key) for the log lines of its
// scripts' errors; an error while reading it is logged with that place.
template <typename T, typename C>
void CreateControls(const XmlDom::Element& parent, const std::string& tag,
                    ControlMap<C>& controls) {
    const XmlDom::Selection children = XmlDom::SelectNodes(parent, tag);
    for (int i = 0; i < children.Length(); ++i) {
        const XmlDom::Element child = XmlDom::Item(children, i);
        const std::string key = ControlKey(child, tag, i);
        Where::Reading(Where::kControl, Where::Named("control " + tag, key), [&] {
            const std::shared_ptr<T> control = std::make_shared<T>();
            control->place_ = Where::Current();
            Base::LoadCommon(*control, child);
            controls[key] = control;
        });
    }
}

// Applies one of Base's passes to every control of a map, in ascending key order.
template <typename C>
void ApplyPass(const ControlMap<C>& controls, void (*pass)(Base&)) {
    for (const auto& entry : controls) {
        pass(*entry.second);
    }
}

// Has every control of the state named `state` log what of its definition it cannot show.
template <typename C>
void CheckDefinitions(const std::string& state, const ControlMap<C>& controls) {
    for (const auto& [key, control] : controls) {
        control->CheckDefinition(state, key);
    }
}

} // namespace State::Control
