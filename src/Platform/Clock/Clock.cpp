#include "Platform/Clock/Clock.h"

#include "Platform/Session/Session.h"

#include <chrono>

namespace Clock {

namespace {

using Steady = std::chrono::steady_clock;

const Session::Session* FixedSession() {
    const Session::Session* session = Session::Session::Active();
    return session != nullptr && session->FixedStep() ? session : nullptr;
}

} // namespace

std::uint64_t Milliseconds() {
    if (const Session::Session* session = FixedSession()) {
        return session->Milliseconds();
    }
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    return std::uint64_t(duration_cast<milliseconds>(Steady::now().time_since_epoch()).count());
}

std::int64_t Counter() {
    if (const Session::Session* session = FixedSession()) {
        return session->Counter();
    }
    return Steady::now().time_since_epoch().count();
}

std::int64_t CounterFrequency() {
    if (FixedSession() != nullptr) {
        return Session::Session::kCounterFrequency;
    }
    return Steady::period::den / Steady::period::num;
}

} // namespace Clock
