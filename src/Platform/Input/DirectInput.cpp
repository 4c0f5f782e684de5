#include "Platform/Input/DirectInput.h"

#include "Platform/Input/EventTranslator.h"
#include "Platform/Window/CCustomMessageLoop.h"

namespace Input {

DirectInput::DirectInput()
    : translator_(std::make_unique<EventTranslator>()), loop_(CurrentLoop()) {
    if (loop_ != nullptr) {
        loop_->AddEventSink(translator_.get());
    }
}

DirectInput::~DirectInput() {
    // Only while the loop is still the thread's: a loop destroyed first took its list along.
    if (loop_ != nullptr && loop_ == CurrentLoop()) {
        loop_->RemoveEventSink(translator_.get());
    }
}

Result DirectInput::CreateDevice(Device::Kind kind, std::shared_ptr<Device>& device) {
    device = std::make_shared<Device>(kind);
    translator_->Attach(device);
    return Ok;
}

} // namespace Input
