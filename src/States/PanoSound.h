#pragma once

#include "Game/XmlDom.h"

#include <string>
#include <utility>

namespace xs {
class IArchive;
class OArchive;
} // namespace xs

namespace State {

// A looping sound placed around the listener of a panorama, keyed in its panorama by its
// source path. Its volume falls from max_ when the view looks toward it to min_ when it looks
// away.
struct PanoSound {
    float course_ = 0.0f; // heading, radians
    float pitch_ = 0.0f;  // radians
    bool on_ = false;     // whether it should play; changed at run time and saved
    float min_ = 0.0f;    // volume looking directly away, 0 to 1
    float max_ = 0.0f;    // volume looking at it, 0 to 1

    // A `sound` child: "src" (required, the key), "pitch" and "course" (required), "max"
    // (default 1.0) and "min" (default 0.1), each clamped to [0, 1], and "on" (on only for
    // exactly "yes", the default). A number that does not convert throws.
    static std::pair<std::string, PanoSound> Read(const XmlDom::Element& element);

    // The save record: the bool "on".
    void SaveXml(xs::OArchive& archive);
    void LoadXml(xs::IArchive& archive);
};

} // namespace State
