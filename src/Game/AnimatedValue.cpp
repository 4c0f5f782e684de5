#include "Game/AnimatedValue.h"

namespace {

// elapsed / duration clamped to [0, 1]. A record built by hand with no positive duration
// has arrived as soon as its time has come, instead of dividing by zero.
float Progress(float duration, float elapsed) {
    if (!(duration > 0.0f)) {
        return elapsed < 0.0f ? 0.0f : 1.0f;
    }
    float t = elapsed / duration;
    if (t < 0.0f) {
        t = 0.0f;
    }
    if (t > 1.0f) {
        t = 1.0f;
    }
    return t;
}

} // namespace

float LinearShape(float from, float to, float duration, float elapsed) {
    const float t = Progress(duration, elapsed);
    return from + (to - from) * t;
}

float SmoothShape(float from, float to, float duration, float elapsed) {
    const float t = Progress(duration, elapsed);
    const float s = t * t * (3.0f - 2.0f * t);
    return from + (to - from) * s;
}
