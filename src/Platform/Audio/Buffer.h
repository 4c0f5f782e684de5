#pragma once

#include "Platform/Audio/Event.h"
#include "Platform/Audio/Results.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

namespace Audio {

class Mixer;
struct Voice;

// A secondary sound buffer: PCM memory that the mixer plays from a position, once or looping.
// Made by Device::CreateSoundBuffer. Every operation may be called on any thread but one
// buffer is used by one thread at a time (its owner); the mixer's audio thread never races
// the owner: writes into a playing buffer go through a copy that Unlock publishes.
class Buffer {
public:
    Buffer(std::shared_ptr<Mixer> mixer, std::unique_ptr<Voice> voice);
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    // Leaves the mixer; waits for a Render that is running.
    ~Buffer();

    // Locks `bytes` bytes from `offset` for writing. Region 1 runs from the offset up to at
    // most the end of the buffer, region 2 is the rest wrapped to the start (null and 0 when
    // nothing wraps, or when `p2`/`n2` are null: then only region 1 is locked). A stopped
    // buffer hands out its own memory; a playing one a copy of the regions, written back by
    // Unlock, so the mixer plays the old bytes until then. `flags` must be 0.
    // ErrInvalidParam: range outside the buffer, a zero size, a lock already open;
    // ErrBufferLost while lost.
    Result Lock(std::uint32_t offset, std::uint32_t bytes, void** p1, std::uint32_t* n1, void** p2,
                std::uint32_t* n2, std::uint32_t flags);
    // Ends the open lock; n1 and n2 are the bytes written, at most the sizes locked.
    Result Unlock(void* p1, std::uint32_t n1, void* p2, std::uint32_t n2);

    // Plays from the current position, looping when flags has PlayLooping; on a playing
    // buffer only the looping changes. A non-looping buffer stops at the end of its data
    // with its position back at 0. `reserved` and `priority` must be 0.
    // ErrBufferLost while lost; ErrInvalidCall while stopped and locked.
    Result Play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags);
    // Stops, keeping the position.
    Result Stop();
    // Moves the play position at once (rounded down to a whole frame); no notification fires
    // for the bytes skipped. ErrInvalidParam at or past the end.
    Result SetCurrentPosition(std::uint32_t offset);
    // The play cursor and the write cursor: the first byte that is safe to write. While
    // playing the write cursor leads by one output period (at least 10 ms) of source bytes,
    // wrapped at the end; when stopped both are the position. Either pointer may be null.
    Result GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) const;
    // Status::Playing, Status::Looping (while playing looped), Status::BufferLost.
    Result GetStatus(std::uint32_t* status) const;
    // Clears the lost state (the memory is silence afterwards); ErrBufferLost while the
    // device still holds its buffers lost (Device::SimulateLoss(true)). Never waits.
    Result Restore();

    // Volume in hundredths of a decibel, VolumeMin to VolumeMax. ErrControlUnavail without
    // Caps::CtrlVolume; ErrInvalidParam out of range.
    Result SetVolume(std::int32_t hundredthsDb);
    Result GetVolume(std::int32_t* hundredthsDb) const;

    // Replaces the notifications: each sets its event when the play position passes its
    // byte offset. ErrNoInterface without Caps::CtrlPositionNotify; ErrInvalidCall while
    // playing; ErrInvalidParam for an offset outside the buffer or a null event.
    Result SetNotificationPositions(std::span<const NotifyPosition> positions);

    // The position relative to the listener (at the origin, facing +z, +x to the right),
    // applied from the next mixed period; only the direction pans the buffer. A stereo
    // buffer is mixed as mono. `apply` must be 0 (immediate). ErrNoInterface without
    // Caps::Ctrl3D; ErrInvalidParam for a coordinate that is not finite.
    Result SetPosition3D(float x, float y, float z, std::uint32_t apply);

    // As created: the flags including the placement bits, and the size in bytes.
    std::uint32_t Flags() const noexcept;
    std::uint32_t Bytes() const noexcept;

private:
    Result Stage(std::unique_lock<std::mutex>& lock, Voice& v);
    void Publish(std::unique_lock<std::mutex>& lock, Voice& v);

    std::shared_ptr<Mixer> mixer_;
    std::unique_ptr<Voice> voice_;
};

} // namespace Audio
