#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace Audio {

// A manual-reset event: once set it stays set until Reset. The mixer sets it from the audio
// thread when a buffer's play position passes a notification offset; the game polls it once
// per frame without waiting ("SyncStream").
class Event {
public:
    explicit Event(std::string name = std::string());
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // The poll: the state now, never blocks.
    bool IsSet() const;
    // Blocks until the event is set or the timeout passes; true when set.
    bool Wait(std::chrono::milliseconds timeout) const;

    const std::string& Name() const noexcept { return name_; }

private:
    std::string name_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool set_ = false;
};

// A notification: the event is set when a buffer's play position passes the byte offset.
struct NotifyPosition {
    std::uint32_t offset = 0;
    std::shared_ptr<Event> event;
};

} // namespace Audio
