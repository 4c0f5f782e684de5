#pragma once

#include "Platform/Input/Device.h"

#include <functional>
#include <memory>

namespace Input {
class DirectInput;
}
namespace State {
class Base;
}

// What the mouse and the keyboard share: one buffered device of the input layer, read once
// per frame and handed to the current scene state in batches.
class InputDevice {
public:
    // The state that receives a batch: asked again before every batch, so records after a
    // batch that switched states go to the new state. May answer none.
    using CurrentState = std::function<std::shared_ptr<State::Base>()>;

    InputDevice(const InputDevice&) = delete;
    InputDevice& operator=(const InputDevice&) = delete;

    // Takes every record queued since the last frame and delivers it, in order, in batches
    // of at most Input::BatchSize, to the current state with this device's keyboard flag.
    // The first batch is delivered even when empty; nothing is dropped. When the device
    // cannot be read (it lost the window's focus) it is re-acquired once and the frame has
    // no input from it. No state: the records are taken and dropped.
    void Update(const CurrentState& current);

    // The layer's device, for the test hooks that feed it.
    Input::Device& GetDevice() { return *device_; }

protected:
    // Creates the device of that kind (a checked call), sets its cooperative level (checked)
    // and tries to acquire it; a device that cannot be acquired now is acquired by Update.
    // `where` names the source in location texts.
    InputDevice(Input::DirectInput& dinput, Input::Device::Kind kind, std::uint32_t level,
                const char* where);
    ~InputDevice() = default;

private:
    std::shared_ptr<Input::Device> device_;
    const char* where_;
    bool keyboard_;
};
