#pragma once

#include "States/Base.h"

namespace State {

// A video played full screen.
class Video : public Base {
public:
    bool ShowCursor() override { return false; }
    bool ShowInventory() override { return false; }
};

} // namespace State
