#pragma once

#include "States/Pano.h"

namespace State {

// A panorama of the menu whose camera is moved by script.
class MenuPano : public Pano {
public:
    bool ShowInventory() override { return false; }
};

} // namespace State
