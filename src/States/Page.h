#pragma once

#include "States/Screen.h"

namespace State {

// A page of a book of the library; leaving it closes the page.
class Page : public Screen {
public:
    bool ShowCursor() override { return (flags_ & kNoCursor) == 0; }
    bool ShowInventory() override { return true; }
};

} // namespace State
