#pragma once

#include "States/Base.h"

namespace State {

// A flat scene: a picture with controls, the border and the keys.
class Screen : public Base {};

} // namespace State
