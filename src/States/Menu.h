#pragma once

#include "States/Screen.h"

namespace State {

// A screen of the game's menu; it never shows the inventory.
class Menu : public Screen {
public:
    bool ShowInventory() override { return false; }
    // Menus are not saved: their controls keep what the reset gave them.
    void LoadState(xs::IArchive& archive) override { Base::LoadState(archive); }
    void SaveState(xs::OArchive& archive) override { Base::SaveState(archive); }
};

} // namespace State
