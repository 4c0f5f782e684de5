#pragma once

#include "Platform/Window/CIdleHandler.h"
#include "Platform/Window/IdleRegistration.h"

// A stand-in for the engine's frame pipeline until it exists: on every idle turn of the
// message loop it clears the device's back buffer to opaque black and presents it, so the
// window shows a black 1024x768 frame. Registered with the calling thread's loop for its
// lifetime. The engine replaces it as the loop's idle handler.
class ClearFramePlaceholder : public CIdleHandler {
public:
    ClearFramePlaceholder();
    ClearFramePlaceholder(const ClearFramePlaceholder&) = delete;
    ClearFramePlaceholder& operator=(const ClearFramePlaceholder&) = delete;

    // A failed device call is logged and thrown as `exception`, ending the loop.
    bool OnIdle() override;

private:
    IdleRegistration registration_;
};
