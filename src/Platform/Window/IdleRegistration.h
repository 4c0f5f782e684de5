#pragma once

#include "Platform/Window/CIdleHandler.h"

class CCustomMessageLoop;

// Keeps a handler registered with the calling thread's message loop for the life of this
// object. Held as a member of the handler, it unregisters even when the handler's
// constructor throws after registering, so the loop never keeps a dangling handler.
class IdleRegistration {
public:
    // Throws `exception` when the calling thread has no message loop.
    explicit IdleRegistration(CIdleHandler& handler);
    ~IdleRegistration();
    IdleRegistration(const IdleRegistration&) = delete;
    IdleRegistration& operator=(const IdleRegistration&) = delete;

private:
    CIdleHandler& handler_;
    CCustomMessageLoop* loop_;
};
