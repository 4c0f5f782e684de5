#pragma once

#include "Game/InputDevice.h"

// The system keyboard, shared with other programs, read while the window is in the
// foreground. Its batches go to the scenes with the keyboard flag true.
class Keyboard : public InputDevice {
public:
    explicit Keyboard(Input::DirectInput& dinput);
};
