#include "States/Controls/ControlMap.h"

namespace State::Control {

std::string ControlKey(const XmlDom::Element& element, const std::string& tag, int index) {
    return XmlDom::Attr(element, "name", tag + std::to_string(index));
}

} // namespace State::Control
