#pragma once

#include "Platform/Input/Codes.h"
#include "Platform/Input/Device.h"

#include <memory>

class CCustomMessageLoop;

namespace Input {

class EventTranslator;

// The input system: makes the mouse and keyboard devices and feeds them. It takes its
// events from the calling thread's message loop (as one of the loop's event sinks) from
// construction to destruction; without a loop its devices receive nothing.
class DirectInput {
public:
    DirectInput();
    ~DirectInput();
    DirectInput(const DirectInput&) = delete;
    DirectInput& operator=(const DirectInput&) = delete;

    // A new unacquired device of that kind. Never fails; the result keeps the checked-call
    // form of the other layers.
    Result CreateDevice(Device::Kind kind, std::shared_ptr<Device>& device);

private:
    std::unique_ptr<EventTranslator> translator_;
    CCustomMessageLoop* loop_;
};

} // namespace Input
