#include "Platform/Input/Device.h"

#include "Game/Log.h"

#include <SDL.h>
#include <algorithm>
#include <limits>

namespace Input {

namespace {

// Adds two axis values as signed 32-bit numbers, clamped instead of wrapping.
std::uint32_t SaturatingSum(std::uint32_t a, std::uint32_t b) {
    const std::int64_t sum =
        std::int64_t(static_cast<std::int32_t>(a)) + std::int64_t(static_cast<std::int32_t>(b));
    const std::int64_t clamped = std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(clamped));
}

bool ValidLevel(std::uint32_t level) {
    const bool exclusive = (level & DISCL_EXCLUSIVE) != 0;
    const bool nonexclusive = (level & DISCL_NONEXCLUSIVE) != 0;
    const bool foreground = (level & DISCL_FOREGROUND) != 0;
    const bool background = (level & DISCL_BACKGROUND) != 0;
    const std::uint32_t known =
        DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND;
    return (level & ~known) == 0 && exclusive != nonexclusive && foreground != background;
}

} // namespace

Device::Device(Kind kind) : kind_(kind) {}

Device::~Device() {
    if (relative_ && SDL_SetRelativeMouseMode(SDL_FALSE) != 0) {
        LogFormat("Cannot release the mouse: %1%", SDL_GetError());
    }
}

Result Device::SetCooperativeLevel(std::uint32_t level) {
    if (!ValidLevel(level)) {
        return ErrInvalidParam;
    }
    const bool exclusiveMouse = kind_ == Kind::Mouse && (level & DISCL_EXCLUSIVE) != 0;
    if (exclusiveMouse && !relative_) {
        // Raw device counts, as the scenes' sensitivity was tuned with: no pointer scaling.
        SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_SCALING, "0");
        SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_SYSTEM_SCALE, "0");
        if (SDL_SetRelativeMouseMode(SDL_TRUE) == 0) {
            relative_ = true;
        } else {
            // Nothing depends on the pointer being captured: motion still arrives.
            LogFormat("Relative mouse mode not available: %1%", SDL_GetError());
        }
    } else if (!exclusiveMouse && relative_) {
        relative_ = false;
        if (SDL_SetRelativeMouseMode(SDL_FALSE) != 0) {
            LogFormat("Cannot release the mouse: %1%", SDL_GetError());
        }
    }
    return Ok;
}

Result Device::Acquire() {
    if (!focused_) {
        return ErrOtherAppHasPrio;
    }
    acquired_ = true;
    return Ok;
}

Result Device::Unacquire() {
    acquired_ = false;
    queue_.clear();
    return Ok;
}

Result Device::GetDeviceData(Record* out, std::uint32_t* count) {
    if (count == nullptr || (out == nullptr && *count != 0)) {
        return ErrInvalidParam;
    }
    if (!acquired_) {
        *count = 0;
        return ErrNotAcquired;
    }
    const std::uint32_t n =
        static_cast<std::uint32_t>(std::min<std::size_t>(*count, queue_.size()));
    std::copy_n(queue_.begin(), n, out);
    queue_.erase(queue_.begin(), queue_.begin() + n);
    *count = n;
    return Ok;
}

bool Device::IsMotion(const Record& record) const {
    return kind_ == Kind::Mouse &&
           (record.dwOfs == DIMOFS_X || record.dwOfs == DIMOFS_Y || record.dwOfs == DIMOFS_Z);
}

void Device::Push(const Record& record) {
    if (!acquired_) {
        return;
    }
    if (IsMotion(record)) {
        // Sum into the same axis of the trailing run of motion records, if it has one: the
        // scenes only ever sum an axis between two button records, so the sums they see
        // are unchanged.
        for (auto it = queue_.rbegin(); it != queue_.rend() && IsMotion(*it); ++it) {
            if (it->dwOfs == record.dwOfs) {
                it->dwData = SaturatingSum(it->dwData, record.dwData);
                it->dwTimeStamp = record.dwTimeStamp;
                it->dwSequence = record.dwSequence;
                return;
            }
        }
    }
    queue_.push_back(record);
}

void Device::OnFocus(bool focused) {
    if (focused == focused_) {
        return;
    }
    focused_ = focused;
    if (!focused) {
        Unacquire();
    }
}

} // namespace Input
