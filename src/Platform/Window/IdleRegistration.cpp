#include "Platform/Window/IdleRegistration.h"

#include "Game/Exception.h"
#include "Platform/Window/CCustomMessageLoop.h"

IdleRegistration::IdleRegistration(CIdleHandler& handler)
    : handler_(handler), loop_(CurrentLoop()) {
    if (loop_ == nullptr) {
        throw exception("No message loop on this thread");
    }
    loop_->AddIdleHandler(&handler_);
}

IdleRegistration::~IdleRegistration() {
    // Only while the loop is still the thread's: a loop destroyed first took its list along.
    if (loop_ == CurrentLoop()) {
        loop_->RemoveIdleHandler(&handler_);
    }
}
