#pragma once

// Inside the platform layers only: game code never includes this header.

#include <SDL_events.h>

namespace Platform {

// Receives every event the message loop takes from the queue, before the idle turn.
class EventSink {
public:
    virtual void OnEvent(const SDL_Event& event) = 0;

protected:
    ~EventSink() = default;
};

} // namespace Platform
