#pragma once

// A handler the message loop calls on every idle turn (the engine renders one frame in
// it). The result is ignored: idling never stops.
class CIdleHandler {
public:
    virtual bool OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};
