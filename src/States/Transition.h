#pragma once

#include "States/Base.h"

namespace State {

// The fade from one state to another, with its flash screens.
class Transition : public Base {
public:
    bool ShowCursor() override { return false; }
};

} // namespace State
