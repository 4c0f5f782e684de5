#pragma once

#include <string>

namespace State::Control {

// The numbers of a zone's position attributes. Text that is not a number of the kind throws
// `exception` "Bad position format", which ends the loading of the definition.

// A whole number of pixels ("x", "y", "w", "h" of a screen zone).
int ParsePixel(const std::string& text);

// An angle in radians (a piece of a panorama zone's "pos"), already trimmed.
float ParseAngle(const std::string& text);

} // namespace State::Control
