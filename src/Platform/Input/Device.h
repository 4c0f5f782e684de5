#pragma once

#include "Platform/Input/Codes.h"

#include <deque>

namespace Input {

// A buffered mouse or keyboard, used on the user-interface thread only. Events reach it as
// records (pushed by the layer's event translation) while it is acquired; the game takes
// them out in batches with GetDeviceData. The queue never loses an event: a frame with
// more records than a batch leaves the rest for the next frame, and runs of mouse motion
// are summed into one record per axis, so motion cannot make the queue grow.
//
// Both devices follow the window's focus: losing it unacquires the device and clears its
// queue; after focus comes back the device stays unacquired until the game acquires it
// again (so the click that brought the window to the front is never delivered).
class Device {
public:
    enum class Kind { Mouse, Keyboard };

    explicit Device(Kind kind);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    Kind GetKind() const { return kind_; }

    // One of DISCL_EXCLUSIVE and DISCL_NONEXCLUSIVE with one of DISCL_FOREGROUND and
    // DISCL_BACKGROUND, else ErrInvalidParam. An exclusive mouse hides and captures the
    // system pointer and reports raw relative motion; when the video driver cannot do
    // that, one line is logged and plain pointer motion is reported instead.
    Result SetCooperativeLevel(std::uint32_t level);

    // Ok while the window has focus, else ErrOtherAppHasPrio.
    Result Acquire();
    // Stops buffering and drops the buffered records.
    Result Unacquire();
    bool Acquired() const { return acquired_; }

    // Moves up to *count buffered records, oldest first, into out and sets *count to the
    // number moved. ErrNotAcquired (and *count 0) while not acquired.
    Result GetDeviceData(Record* out, std::uint32_t* count);

    // The producer side, called by the event translation.
    // Buffers a record while acquired; ignored otherwise.
    void Push(const Record& record);
    // The window gained or lost the focus.
    void OnFocus(bool focused);

private:
    bool IsMotion(const Record& record) const;

    Kind kind_;
    bool focused_ = true;
    bool acquired_ = false;
    bool relative_ = false;
    std::deque<Record> queue_;
};

} // namespace Input
