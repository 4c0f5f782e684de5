#pragma once

#include "Game/Map.h"
#include "Game/XmlDom.h"

#include <gtest/gtest.h>
#include <string>

namespace test {

// The `map` element of a definition whose root holds `body`.
inline XmlDom::Element MapElement(const std::string& body) {
    return XmlDom::Child(XmlDom::Root(XmlDom::LoadString("<korvantine>" + body + "</korvantine>")),
                         "map");
}

// A `part` element with the required attributes and children around `content`.
inline std::string PartXml(const std::string& name, const std::string& content,
                           const std::string& sounds = "") {
    return "<part name=\"" + name + "\" start=\"s_" + name + "\" load=\"l_" + name +
           "\" effect=\"clean\"><sounds>" + sounds + "</sounds><textures/>" + content + "</part>";
}

inline std::string MapXml(const std::string& parts) {
    return "<map autoload=\"intro\" menu=\"main\">" + parts + "</map>";
}

// The part's state names and effect.
inline void ExpectPart(const Map::Part* part, const std::string& start, const std::string& load,
                       const std::string& effect) {
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->start_, start);
    EXPECT_EQ(part->load_, load);
    EXPECT_EQ(part->effect_, effect);
}

} // namespace test
