#pragma once

// Inside the platform layers only: game code never includes this header.

#include "Platform/Input/Device.h"
#include "Platform/Window/EventSink.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace Input {

// Turns the platform's mouse, keyboard and focus events into records of the devices that
// are still alive. One sequence counter serves both devices; the two axes of one motion
// share their number.
class EventTranslator final : public Platform::EventSink {
public:
    void Attach(const std::shared_ptr<Device>& device);

    void OnEvent(const SDL_Event& event) override;

    // The key code of a physical key, none for keys the classic keyboard lacks.
    static std::optional<std::uint32_t> DikFromScancode(SDL_Scancode scancode);
    // The offset of a mouse button, none for buttons beyond the fourth.
    static std::optional<std::uint32_t> OffsetFromButton(std::uint8_t button);

private:
    void Deliver(Device::Kind kind, std::uint32_t offset, std::uint32_t data,
                 std::uint32_t timeStamp);
    void Focus(bool focused);

    std::vector<std::weak_ptr<Device>> devices_;
    std::uint32_t sequence_ = 0;
};

} // namespace Input
