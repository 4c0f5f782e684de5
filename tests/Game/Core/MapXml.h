#pragma once

#include "Game/Map.h"
#include "Game/XmlDom.h"

#include <string>

namespace test {

// The `map` element of a definition whose `map` holds `parts`.
inline XmlDom::Element MapElement(const std::string& parts) {
    return XmlDom::Child(
        XmlDom::Root(XmlDom::LoadString("<korvantine><map autoload=\"intro\" menu=\"main\">" +
                                        parts + "</map></korvantine>")),
        "map");
}

// A `part` element with the required attributes and children around `content`.
inline std::string PartXml(const std::string& name, const std::string& content,
                           const std::string& sounds = "") {
    return "<part name=\"" + name + "\" start=\"s_" + name + "\" load=\"l_" + name +
           "\" effect=\"clean\"><sounds>" + sounds + "</sounds><textures/>" + content + "</part>";
}

} // namespace test
