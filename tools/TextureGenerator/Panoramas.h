#pragma once

#include "Night.h"

// The demo game's panoramas, each a colour for every view direction.
namespace Panoramas {

// The lighthouse gallery (Gallery.cpp).
Color Gallery(const Night::V3& d);
// The main menu's view round the keeper's house at night (Garden.cpp).
Color Garden(const Night::V3& d);

} // namespace Panoramas
