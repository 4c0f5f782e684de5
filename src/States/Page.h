#pragma once

#include "States/Screen.h"

namespace State {

// A page of a book of the library; leaving it closes the page.
class Page : public Screen {
public:
    bool ShowCursor() override { return (flags_ & kNoCursor) == 0; }
    bool ShowInventory() override { return true; }
    // The "exit" event, then the library's page view returns to the state it was opened
    // from.
    void Exit() override;
};

} // namespace State
