#pragma once

#include "States/Screen.h"

namespace State {

// The screen shown while a part loads; neither cursor nor inventory. Its activation starts
// the part's preload, and it is never active.
class Loading : public Screen {
public:
    bool ShowCursor() override { return false; }
    bool ShowInventory() override { return false; }
    // Starts the map's preload of the queued part; answers false.
    bool Activate() override;
};

} // namespace State
