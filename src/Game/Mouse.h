#pragma once

#include "Game/InputDevice.h"

#include <cstdint>

// The system mouse: exclusive (the system pointer is hidden and captured, motion is raw)
// while the window is in the foreground. Its batches go to the scenes with the keyboard
// flag false.
class Mouse : public InputDevice {
public:
    explicit Mouse(Input::DirectInput& dinput);

    // The offset of the button that clicks (button 0, or button 1 for a left-handed
    // player) and of the other one, from the settings record.
    static std::uint32_t PrimaryButton();
    static std::uint32_t SecondaryButton();
};
