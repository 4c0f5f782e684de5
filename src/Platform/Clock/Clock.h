#pragma once

#include <cstdint>

// The program's time base: a tick count in milliseconds and a performance counter with its
// frequency, both monotonic from any origin. Safe on any thread. In a scripted session with
// a fixed step they advance by exactly that step per presented frame and stand still in
// between, so what is drawn depends on the frame number only.
namespace Clock {

std::uint64_t Milliseconds();
std::int64_t Counter();
// Counter ticks per second.
std::int64_t CounterFrequency();

} // namespace Clock
