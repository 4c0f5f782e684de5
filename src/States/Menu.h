#pragma once

#include "States/Screen.h"

namespace State {

// A screen of the game's menu; it never shows the inventory.
class Menu : public Screen {
public:
    bool ShowInventory() override { return false; }
};

} // namespace State
