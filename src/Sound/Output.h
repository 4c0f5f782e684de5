#pragma once

#include <memory>

namespace Audio {
class Device;
}

namespace Sound {

// The sound device that sound buffers are created on: the device wrapper's (dx().sound()),
// or the one installed by UseDevice (tests drive a device of their own). Any thread.
std::shared_ptr<Audio::Device> OutputDevice();
// Installs the device for OutputDevice; null goes back to the device wrapper's.
void UseDevice(std::shared_ptr<Audio::Device> device);

} // namespace Sound
