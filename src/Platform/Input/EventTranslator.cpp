#include "Platform/Input/EventTranslator.h"

#include <algorithm>
#include <limits>

namespace Input {

namespace {

// One notch of the wheel, in the classic interface's units.
constexpr std::int64_t kWheelDelta = 120;

std::uint32_t AxisData(std::int64_t value) {
    const std::int64_t clamped = std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(clamped));
}

} // namespace

void EventTranslator::Attach(const std::shared_ptr<Device>& device) {
    std::erase_if(devices_, [](const std::weak_ptr<Device>& d) { return d.expired(); });
    devices_.push_back(device);
}

void EventTranslator::Deliver(Device::Kind kind, std::uint32_t offset, std::uint32_t data,
                              std::uint32_t timeStamp) {
    Record record;
    record.dwOfs = offset;
    record.dwData = data;
    record.dwTimeStamp = timeStamp;
    record.dwSequence = sequence_;
    for (const std::weak_ptr<Device>& weak : devices_) {
        if (std::shared_ptr<Device> device = weak.lock(); device && device->GetKind() == kind) {
            device->Push(record);
        }
    }
}

void EventTranslator::Focus(bool focused) {
    for (const std::weak_ptr<Device>& weak : devices_) {
        if (std::shared_ptr<Device> device = weak.lock()) {
            device->OnFocus(focused);
        }
    }
}

void EventTranslator::OnEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_MOUSEMOTION:
        if (event.motion.xrel != 0 || event.motion.yrel != 0) {
            ++sequence_;
            if (event.motion.xrel != 0) {
                Deliver(Device::Kind::Mouse, DIMOFS_X, AxisData(event.motion.xrel),
                        event.motion.timestamp);
            }
            if (event.motion.yrel != 0) {
                Deliver(Device::Kind::Mouse, DIMOFS_Y, AxisData(event.motion.yrel),
                        event.motion.timestamp);
            }
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (std::optional<std::uint32_t> offset = OffsetFromButton(event.button.button)) {
            ++sequence_;
            Deliver(Device::Kind::Mouse, *offset, event.button.state == SDL_PRESSED ? Pressed : 0,
                    event.button.timestamp);
        }
        break;
    case SDL_MOUSEWHEEL: {
        const std::int64_t notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED
                                         ? -std::int64_t(event.wheel.y)
                                         : std::int64_t(event.wheel.y);
        if (notches != 0) {
            ++sequence_;
            Deliver(Device::Kind::Mouse, DIMOFS_Z, AxisData(notches * kWheelDelta),
                    event.wheel.timestamp);
        }
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        // The classic keyboard reports no auto-repeat: only the first press counts.
        if (event.key.repeat == 0) {
            if (std::optional<std::uint32_t> code = DikFromScancode(event.key.keysym.scancode)) {
                ++sequence_;
                Deliver(Device::Kind::Keyboard, *code, event.key.state == SDL_PRESSED ? Pressed : 0,
                        event.key.timestamp);
            }
        }
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            Focus(true);
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            Focus(false);
        }
        break;
    default:
        break;
    }
}

std::optional<std::uint32_t> EventTranslator::OffsetFromButton(std::uint8_t button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return DIMOFS_BUTTON0;
    case SDL_BUTTON_RIGHT:
        return DIMOFS_BUTTON1;
    case SDL_BUTTON_MIDDLE:
        return DIMOFS_BUTTON2;
    case SDL_BUTTON_X1:
        return DIMOFS_BUTTON3;
    default:
        return std::nullopt;
    }
}

} // namespace Input
