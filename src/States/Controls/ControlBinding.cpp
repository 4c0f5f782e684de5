#include "States/Controls/ControlBinding.h"

#include "States/Controls/Base.h"

namespace State::Control {

ControlBinding::ControlBinding(Base& control, lua::State& lua) : scope_(lua), control_(control) {
    control_.Bind(scope_);
}

ControlBinding::~ControlBinding() {
    control_.Unbind();
}

} // namespace State::Control
