#pragma once

#include "States/Screen.h"

namespace State {

// A page of a book of the library.
class Page : public Screen {
public:
    bool ShowInventory() override { return true; }
};

} // namespace State
