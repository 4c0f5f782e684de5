#include "Sound/Output.h"

#include "Game/DirectX.h"

#include <mutex>

namespace Sound {

namespace {

std::mutex g_mutex;
std::shared_ptr<Audio::Device> g_device;

} // namespace

std::shared_ptr<Audio::Device> OutputDevice() {
    {
        const std::lock_guard lock(g_mutex);
        if (g_device != nullptr) {
            return g_device;
        }
    }
    return dx().sound();
}

void UseDevice(std::shared_ptr<Audio::Device> device) {
    const std::lock_guard lock(g_mutex);
    g_device = std::move(device);
}

} // namespace Sound
