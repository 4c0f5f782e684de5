#pragma once

#include "States/Screen.h"

namespace State {

// The screen shown while a part loads; neither cursor nor inventory.
class Loading : public Screen {
public:
    bool ShowCursor() override { return false; }
    bool ShowInventory() override { return false; }
};

} // namespace State
