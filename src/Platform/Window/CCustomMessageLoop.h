#pragma once

#include "Platform/Window/CIdleHandler.h"
#include "Platform/Window/HandlerList.h"

#include <atomic>

namespace Platform {
class EventSink;
}

// The program's message loop, on the user-interface thread. Each turn takes every event
// waiting in the queue and hands it to the event sinks (the window, the input devices),
// then calls every idle handler once, in registration order, and starts again; so with an
// empty queue the idle handlers run back to back. A posted quit ends Run with its code:
// checked after each event and after each idle turn, so a quit posted from an idle handler
// lets the rest of that turn run and no further one. In a scripted session (see
// Platform/Session) each turn first queues the script's input for the frame drawn next.
class CCustomMessageLoop {
public:
    // The new loop becomes the current loop of the calling thread until it is destroyed.
    CCustomMessageLoop();
    ~CCustomMessageLoop();
    CCustomMessageLoop(const CCustomMessageLoop&) = delete;
    CCustomMessageLoop& operator=(const CCustomMessageLoop&) = delete;

    void AddIdleHandler(CIdleHandler* handler);
    // False when the handler was not registered. Safe from inside an idle handler.
    bool RemoveIdleHandler(CIdleHandler* handler);

    // Inside the platform layers: the receivers of the queue's events.
    void AddEventSink(Platform::EventSink* sink);
    bool RemoveEventSink(Platform::EventSink* sink);

    // One idle turn: OnIdle of every idle handler in registration order, results ignored.
    // Answers true (call again). count is the number of idle turns since the last event.
    bool OnIdle(int count);

    // Runs until a quit is posted and answers its code (consuming the quit). An exception
    // from an event sink or an idle handler leaves Run at once.
    int Run();

    // Asks Run to end with code. Callable from any thread.
    void PostQuit(int code) noexcept;
    bool QuitPosted() const noexcept;

private:
    bool TakeQuit(int& code) noexcept;

    Platform::HandlerList<CIdleHandler> idle_;
    Platform::HandlerList<Platform::EventSink> sinks_;
    std::atomic<bool> quit_{false};
    std::atomic<int> code_{0};
    CCustomMessageLoop* previous_;
    bool eventsStarted_ = false;
};

// The loop of the calling thread; null when the thread has none.
CCustomMessageLoop* CurrentLoop();

// Posts a quit with code to the calling thread's loop; without a loop there is nothing to
// end and nothing happens.
void PostQuitMessage(int code);
