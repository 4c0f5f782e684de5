#pragma once

#include "States/ScopedBinding.h"

namespace State::Control {

class Base;

// A control's Lua functions, published for the length of one script: the constructor runs
// the control's Bind, the destructor its Unbind and then withdraws every function bound,
// re-publishing what each name held before. So a script that runs other scripts inside
// itself (through `move`) finds its own functions again afterwards, and a script that fails
// leaves nothing of its control bound. Event scripts and the click scripts of controls with
// functions of their own run inside one.
class ControlBinding {
public:
    ControlBinding(Base& control, lua::State& lua);
    ~ControlBinding();
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;

private:
    // Declared first, so it is destroyed last: after the control's Unbind.
    ScopedBinding scope_;
    Base& control_;
};

} // namespace State::Control
