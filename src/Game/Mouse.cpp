#include "Game/Mouse.h"

#include "Game/Opts.h"

Mouse::Mouse(Input::DirectInput& dinput)
    : InputDevice(dinput, Input::Device::Kind::Mouse,
                  Input::DISCL_EXCLUSIVE | Input::DISCL_FOREGROUND, "game\\Mouse") {}

std::uint32_t Mouse::PrimaryButton() {
    return opts().mouseLeftHanded_ ? Input::DIMOFS_BUTTON1 : Input::DIMOFS_BUTTON0;
}

std::uint32_t Mouse::SecondaryButton() {
    return opts().mouseLeftHanded_ ? Input::DIMOFS_BUTTON0 : Input::DIMOFS_BUTTON1;
}
