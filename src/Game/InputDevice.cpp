#include "Game/InputDevice.h"

#include "Game/Check.h"
#include "Platform/Input/DirectInput.h"
#include "States/Base.h"
#include "States/InputRecord.h"

#include <array>

InputDevice::InputDevice(Input::DirectInput& dinput, Input::Device::Kind kind, std::uint32_t level,
                         const char* where)
    : where_(where), keyboard_(kind == Input::Device::Kind::Keyboard) {
    CheckResult(dinput.CreateDevice(kind, device_), where_,
                keyboard_ ? "dinput->CreateDevice(GUID_SysKeyboard, &device_, NULL)"
                          : "dinput->CreateDevice(GUID_SysMouse, &device_, NULL)");
    CheckResult(device_->SetCooperativeLevel(level), where_,
                "device_->SetCooperativeLevel(dx().wnd(), level)");
    // Not acquired now (the window may be in the background): Update acquires it later.
    device_->Acquire();
}

void InputDevice::Update(const CurrentState& current) {
    Assert(device_ != nullptr, where_, "device_ != 0");
    std::array<State::InputRecord, Input::BatchSize> records;
    for (bool first = true;; first = false) {
        std::uint32_t count = Input::BatchSize;
        // Any non-negative result is a success; the layer has no positive codes, but a
        // remark must never cost a batch (a lost button release stays captured).
        if (device_->GetDeviceData(records.data(), &count) < 0) {
            // One attempt per frame: a device in the background keeps failing, and the
            // next frame tries again.
            device_->Acquire();
            return;
        }
        if (count == 0 && !first) {
            return;
        }
        if (std::shared_ptr<State::Base> state = current()) {
            State::Base::HandleInput(*state, records.data(), static_cast<int>(count), keyboard_);
        }
        if (count < Input::BatchSize) {
            return;
        }
    }
}
