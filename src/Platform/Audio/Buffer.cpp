#include "Platform/Audio/Buffer.h"

#include "Platform/Audio/Gain.h"
#include "Platform/Audio/Mixer.h"
#include "Platform/Audio/Voice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace Audio {

namespace {

// Copies into or out of a playing buffer hold the mixer's mutex for at most this many bytes
// at a time, so the audio thread never waits long.
constexpr std::uint32_t CopyPiece = 64 * 1024;

// Write cursors lead the play cursor by at least this much of a second.
constexpr int MinLeadFrames = 441; // 10 ms at the output rate

using Copy = void (*)(std::uint8_t* staging, std::uint8_t* data, std::uint32_t n);

// Copies `n` bytes between staging[0..n) and data[offset..offset+n) in pieces, taking the
// mutex for each piece.
void CopyInPieces(std::unique_lock<std::mutex>& lock, std::uint8_t* staging, std::uint8_t* data,
                  std::uint32_t n, Copy copy) {
    for (std::uint32_t done = 0; done < n; done += CopyPiece) {
        const std::uint32_t piece = std::min(CopyPiece, n - done);
        lock.lock();
        copy(staging + done, data + done, piece);
        lock.unlock();
    }
}

void ToStaging(std::uint8_t* staging, std::uint8_t* data, std::uint32_t n) {
    std::memcpy(staging, data, n);
}

void FromStaging(std::uint8_t* staging, std::uint8_t* data, std::uint32_t n) {
    std::memcpy(data, staging, n);
}

} // namespace

Buffer::Buffer(std::shared_ptr<Mixer> mixer, std::unique_ptr<Voice> voice)
    : mixer_(std::move(mixer)), voice_(std::move(voice)) {
    std::lock_guard lock(mixer_->Mutex());
    mixer_->Add(voice_.get());
}

Buffer::~Buffer() {
    std::lock_guard lock(mixer_->Mutex());
    mixer_->Remove(voice_.get());
}

Result Buffer::Lock(std::uint32_t offset, std::uint32_t bytes, void** p1, std::uint32_t* n1,
                    void** p2, std::uint32_t* n2, std::uint32_t flags) {
    Voice& v = *voice_;
    if (p1 == nullptr || n1 == nullptr || flags != 0 || offset >= v.bytes || bytes == 0 ||
        bytes > v.bytes) {
        return ErrInvalidParam;
    }
    const std::uint32_t first = std::min(bytes, v.bytes - offset);
    const std::uint32_t second = (p2 != nullptr && n2 != nullptr) ? bytes - first : 0;
    std::unique_lock lock(mixer_->Mutex());
    if (v.lost) {
        return ErrBufferLost;
    }
    if (v.locked) {
        return ErrInvalidParam;
    }
    v.locked = true;
    v.staged = v.playing;
    v.lockOffset = offset;
    v.lockBytes1 = first;
    v.lockBytes2 = second;
    if (v.staged) {
        if (const Result r = Stage(lock, v); r != Ok) {
            return r;
        }
    } else {
        v.lockPtr1 = v.data.data() + offset;
        v.lockPtr2 = second > 0 ? v.data.data() : nullptr;
    }
    *p1 = v.lockPtr1;
    *n1 = first;
    if (p2 != nullptr) {
        *p2 = v.lockPtr2;
    }
    if (n2 != nullptr) {
        *n2 = second;
    }
    return Ok;
}

// Copies the locked regions of a playing voice into its staging memory. Entered and left
// with the mutex held; the voice is already marked locked, so only its owner touches the
// staging memory and the lock fields meanwhile.
Result Buffer::Stage(std::unique_lock<std::mutex>& lock, Voice& v) {
    lock.unlock();
    try {
        v.staging.resize(std::size_t(v.lockBytes1) + v.lockBytes2);
    } catch (const std::bad_alloc&) {
        lock.lock();
        v.locked = false;
        v.staged = false;
        return ErrOutOfMemory;
    }
    v.lockPtr1 = v.staging.data();
    v.lockPtr2 = v.lockBytes2 > 0 ? v.staging.data() + v.lockBytes1 : nullptr;
    CopyInPieces(lock, v.lockPtr1, v.data.data() + v.lockOffset, v.lockBytes1, ToStaging);
    if (v.lockBytes2 > 0) {
        CopyInPieces(lock, v.lockPtr2, v.data.data(), v.lockBytes2, ToStaging);
    }
    lock.lock();
    return Ok;
}

Result Buffer::Unlock(void* p1, std::uint32_t n1, void* p2, std::uint32_t n2) {
    Voice& v = *voice_;
    std::unique_lock lock(mixer_->Mutex());
    const bool matches = v.locked && p1 == v.lockPtr1 && n1 <= v.lockBytes1 &&
                         (p2 == nullptr ? n2 == 0 : (p2 == v.lockPtr2 && n2 <= v.lockBytes2));
    if (!matches) {
        return ErrInvalidParam;
    }
    if (v.staged) {
        v.lockBytes1 = n1;
        v.lockBytes2 = n2;
        Publish(lock, v);
    }
    v.locked = false;
    v.staged = false;
    v.lockPtr1 = v.lockPtr2 = nullptr;
    return Ok;
}

// Writes the staging copy back into the voice's memory. Entered and left with the mutex held.
void Buffer::Publish(std::unique_lock<std::mutex>& lock, Voice& v) {
    lock.unlock();
    CopyInPieces(lock, v.lockPtr1, v.data.data() + v.lockOffset, v.lockBytes1, FromStaging);
    if (v.lockBytes2 > 0) {
        CopyInPieces(lock, v.lockPtr2, v.data.data(), v.lockBytes2, FromStaging);
    }
    lock.lock();
}

Result Buffer::Play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags) {
    if (reserved != 0 || priority != 0) {
        return ErrInvalidParam;
    }
    Voice& v = *voice_;
    std::lock_guard lock(mixer_->Mutex());
    if (v.lost) {
        return ErrBufferLost;
    }
    if (v.locked && !v.playing) {
        return ErrInvalidCall;
    }
    v.looping = (flags & PlayLooping) != 0;
    if (!v.playing) {
        v.playing = true;
        mixer_->Start(&v);
    }
    return Ok;
}

Result Buffer::Stop() {
    Voice& v = *voice_;
    std::lock_guard lock(mixer_->Mutex());
    v.playing = false;
    v.looping = false;
    mixer_->Stop(&v);
    return Ok;
}

Result Buffer::SetCurrentPosition(std::uint32_t offset) {
    Voice& v = *voice_;
    if (offset >= v.bytes) {
        return ErrInvalidParam;
    }
    std::uint64_t frame = offset / v.format.blockAlign;
    if (frame >= v.frames) {
        frame = 0; // inside a partial frame after the last whole one: the end, i.e. the start
    }
    std::lock_guard lock(mixer_->Mutex());
    v.position = frame << 32;
    return Ok;
}

Result Buffer::GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) const {
    const Voice& v = *voice_;
    std::lock_guard lock(mixer_->Mutex());
    const std::uint64_t frame = v.position >> 32;
    std::uint64_t writeFrame = frame;
    if (v.playing) {
        const std::uint64_t outputLead = std::max(MinLeadFrames, mixer_->PeriodFrames());
        const std::uint64_t lead = (outputLead * v.format.rate + 44099) / 44100;
        writeFrame = (frame + lead) % v.frames;
    }
    if (play != nullptr) {
        *play = static_cast<std::uint32_t>(frame * v.format.blockAlign);
    }
    if (write != nullptr) {
        *write = static_cast<std::uint32_t>(writeFrame * v.format.blockAlign);
    }
    return Ok;
}

Result Buffer::GetStatus(std::uint32_t* status) const {
    if (status == nullptr) {
        return ErrInvalidParam;
    }
    const Voice& v = *voice_;
    std::lock_guard lock(mixer_->Mutex());
    *status = (v.playing ? Status::Playing : 0) | (v.playing && v.looping ? Status::Looping : 0) |
              (v.lost ? Status::BufferLost : 0);
    return Ok;
}

Result Buffer::Restore() {
    Voice& v = *voice_;
    std::lock_guard lock(mixer_->Mutex());
    if (v.lost && mixer_->HoldsLost()) {
        return ErrBufferLost;
    }
    v.lost = false;
    return Ok;
}

Result Buffer::SetVolume(std::int32_t hundredthsDb) {
    Voice& v = *voice_;
    if ((v.flags & Caps::CtrlVolume) == 0) {
        return ErrControlUnavail;
    }
    if (hundredthsDb < VolumeMin || hundredthsDb > VolumeMax) {
        return ErrInvalidParam;
    }
    const float gain = VolumeGain(hundredthsDb);
    std::lock_guard lock(mixer_->Mutex());
    v.volume = hundredthsDb;
    v.volumeGain = gain;
    return Ok;
}

Result Buffer::GetVolume(std::int32_t* hundredthsDb) const {
    const Voice& v = *voice_;
    if ((v.flags & Caps::CtrlVolume) == 0) {
        return ErrControlUnavail;
    }
    if (hundredthsDb == nullptr) {
        return ErrInvalidParam;
    }
    std::lock_guard lock(mixer_->Mutex());
    *hundredthsDb = v.volume;
    return Ok;
}

Result Buffer::SetNotificationPositions(std::span<const NotifyPosition> positions) {
    Voice& v = *voice_;
    if ((v.flags & Caps::CtrlPositionNotify) == 0) {
        return ErrNoInterface;
    }
    const bool valid = std::all_of(positions.begin(), positions.end(), [&](const auto& p) {
        return p.offset < v.bytes && p.event != nullptr;
    });
    if (!valid) {
        return ErrInvalidParam;
    }
    std::vector<NotifyPosition> sorted;
    try {
        sorted.assign(positions.begin(), positions.end());
    } catch (const std::bad_alloc&) {
        return ErrOutOfMemory;
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.offset < b.offset; });
    std::lock_guard lock(mixer_->Mutex());
    if (v.playing) {
        return ErrInvalidCall;
    }
    v.notifications.swap(sorted);
    return Ok;
}

Result Buffer::SetPosition3D(float x, float y, float z, std::uint32_t apply) {
    Voice& v = *voice_;
    if ((v.flags & Caps::Ctrl3D) == 0) {
        return ErrNoInterface;
    }
    if (apply != 0 || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
        return ErrInvalidParam;
    }
    const PanGains pan = PanFromPosition(x, y, z);
    std::lock_guard lock(mixer_->Mutex());
    v.pan = pan;
    return Ok;
}

std::uint32_t Buffer::Flags() const noexcept {
    return voice_->flags;
}

std::uint32_t Buffer::Bytes() const noexcept {
    return voice_->bytes;
}

} // namespace Audio
