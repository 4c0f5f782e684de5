#pragma once

#include "States/Base.h"

namespace State {

// A panoramic scene turned with the mouse.
class Pano : public Base {
public:
    bool ShowCursor() override { return true; }
    bool ShowInventory() override { return true; }
};

} // namespace State
