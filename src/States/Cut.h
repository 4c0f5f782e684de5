#pragma once

#include "States/Base.h"

namespace State {

// A cut-scene: timed scripts and camera moves over a panorama.
class Cut : public Base {
public:
    bool ShowCursor() override { return false; }
    bool ShowInventory() override { return false; }
};

} // namespace State
