#pragma once

// A float that moves from one value to another over a duration on the program's time base
// (milliseconds of Game::Time). The owner evaluates it when it needs the present value and
// retargets it when the goal changes; nothing runs in the background.

// The two shapes of a move. t = elapsed / duration clamped to [0, 1]; a NaN passes through.
float LinearShape(float from, float to, float duration, float elapsed);
// Smoothstep easing: s = t * t * (3 - 2 * t).
float SmoothShape(float from, float to, float duration, float elapsed);

enum class Easing { Linear, Smooth };

// Start times below this mean the move has not begun: the value stands at from.
inline constexpr float kNotStarted = 0.0001f;

template <Easing E = Easing::Linear>
struct AnimatedValue {
    float from_ = 0.0f;
    float to_ = 0.0f;
    float start_ = 0.0f;    // ms on Game::Time
    float duration_ = 0.0f; // ms, at least 1 after a retarget

    float Value(float now) const {
        // Not begun: from, without dividing (so a value-initialised record is 0, not NaN).
        if (!(start_ >= kNotStarted)) {
            return from_;
        }
        const float elapsed = now - start_;
        return E == Easing::Linear ? LinearShape(from_, to_, duration_, elapsed)
                                   : SmoothShape(from_, to_, duration_, elapsed);
    }

    // Begins a new move from the present value. The start is kept at or above the
    // not-begun mark, so a retarget in the first moments of the program still runs; a
    // duration of 1 ms or less (NaN included) becomes 1 ms. A present value that is NaN
    // (an earlier NaN target) is not carried on: the new move starts at its target.
    void Retarget(float target, float now, float duration) {
        const float present = Value(now);
        from_ = present == present ? present : target;
        to_ = target;
        start_ = now > kNotStarted ? now : kNotStarted;
        duration_ = duration > 1.0f ? duration : 1.0f;
    }
};

using SmoothValue = AnimatedValue<Easing::Smooth>;
