#include "Platform/Window/CCustomMessageLoop.h"

#include "Game/Exception.h"
#include "Platform/Session/Session.h"
#include "Platform/Session/SessionInput.h"
#include "Platform/Window/EventSink.h"

#include <SDL.h>
#include <limits>

namespace {

thread_local CCustomMessageLoop* t_currentLoop = nullptr;

} // namespace

CCustomMessageLoop::CCustomMessageLoop() : previous_(t_currentLoop) {
    t_currentLoop = this;
}

CCustomMessageLoop::~CCustomMessageLoop() {
    if (t_currentLoop == this) {
        t_currentLoop = previous_;
    }
    if (eventsStarted_) {
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
    }
}

void CCustomMessageLoop::AddIdleHandler(CIdleHandler* handler) {
    idle_.Add(handler);
}

bool CCustomMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
    return idle_.Remove(handler);
}

void CCustomMessageLoop::AddEventSink(Platform::EventSink* sink) {
    sinks_.Add(sink);
}

bool CCustomMessageLoop::RemoveEventSink(Platform::EventSink* sink) {
    return sinks_.Remove(sink);
}

bool CCustomMessageLoop::OnIdle(int /*count*/) {
    idle_.ForEach([](CIdleHandler& handler) { handler.OnIdle(); });
    return true;
}

void CCustomMessageLoop::PostQuit(int code) noexcept {
    code_.store(code, std::memory_order_relaxed);
    quit_.store(true, std::memory_order_release);
}

bool CCustomMessageLoop::QuitPosted() const noexcept {
    return quit_.load(std::memory_order_acquire);
}

bool CCustomMessageLoop::TakeQuit(int& code) noexcept {
    if (!quit_.exchange(false, std::memory_order_acquire)) {
        return false;
    }
    code = code_.load(std::memory_order_relaxed);
    return true;
}

int CCustomMessageLoop::Run() {
    if (!eventsStarted_) {
        if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
            throw exception(std::string("Cannot start the event queue: ") + SDL_GetError());
        }
        eventsStarted_ = true;
    }
    Session::Session* session = Session::Session::Active();
    int code = 0;
    for (int count = 0;;) {
        // A scripted session's input for the frame drawn next joins the queue first.
        if (session != nullptr) {
            Session::InjectInput(*session);
        }
        // Take what is queued now; events arriving meanwhile wait for the next turn, so a
        // busy mouse cannot starve the idle turn.
        SDL_PumpEvents();
        SDL_Event event;
        for (;;) {
            const int taken =
                SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
            if (taken < 0) {
                throw exception(std::string("Cannot read the event queue: ") + SDL_GetError());
            }
            if (taken == 0) {
                break;
            }
            sinks_.ForEach([&event](Platform::EventSink& sink) { sink.OnEvent(event); });
            if (event.type != SDL_MOUSEMOTION) {
                count = 0;
            }
            if (TakeQuit(code)) {
                return code;
            }
        }
        if (TakeQuit(code)) {
            return code;
        }
        OnIdle(count);
        if (count < std::numeric_limits<int>::max()) {
            ++count;
        }
        if (TakeQuit(code)) {
            return code;
        }
    }
}

CCustomMessageLoop* CurrentLoop() {
    return t_currentLoop;
}

void PostQuitMessage(int code) {
    if (CCustomMessageLoop* loop = CurrentLoop()) {
        loop->PostQuit(code);
    }
}
