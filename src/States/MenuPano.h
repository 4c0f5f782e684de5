#pragma once

#include "States/Pano.h"

namespace State {

// A panorama of the menu whose camera is moved by script: no inventory, no mouse-look or
// edge-follow, no idle sway, and no save record.
class MenuPano : public Pano {
public:
    void LoadState(xs::IArchive& archive) override { Base::LoadState(archive); }
    void SaveState(xs::OArchive& archive) override { Base::SaveState(archive); }
    bool ShowInventory() override { return false; }
    bool AllowLook() override { return false; }
    bool AllowSway() override { return false; }
};

} // namespace State
