#include "Game/Keyboard.h"

Keyboard::Keyboard(Input::DirectInput& dinput)
    : InputDevice(dinput, Input::Device::Kind::Keyboard,
                  Input::DISCL_NONEXCLUSIVE | Input::DISCL_FOREGROUND, "game\\Keyboard") {}
