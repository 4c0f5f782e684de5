#pragma once

#include "Sound/SoundFile.h"

#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Audio {
class Buffer;
}

namespace Sound {

// A sound of the game: a secondary buffer of the sound device filled with the PCM data of a
// sound source. Volumes are linear from 0 to 1. Created on the user-interface thread or the
// preload worker, then used on the user-interface thread only.
class Base {
public:
    // Opens the source `src`, creates a buffer of `size` bytes with `flags` plus the mixer
    // placement of the settings, and fills it; `size` 0 decodes the whole source into a buffer
    // of what it delivers (SoundFile::DecodeAll, up to the device's largest buffer). A source that
    // cannot be opened, an empty source and a buffer the device refuses throw `exception`.
    Base(const std::string& src, std::uint32_t flags, bool loop, std::uint32_t size);
    virtual ~Base();
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

    // Back to the start of the source: nothing for a static sound.
    virtual void Reset() {}

    // Sets the volume (0 to 1, clamped; a value that is not a number counts as silence);
    // asking again for the volume asked for last changes nothing.
    void SetVolume(float volume);
    // Restores the buffer when it was lost, sets the volume and plays from the position.
    void Play(float volume, bool looping);
    // Stops, keeping the position.
    void Stop();
    bool IsPlaying() const;
    // Reset, position 0, then restore when lost.
    void SeekStart();
    // Whether the buffer had been lost and was restored and refilled.
    bool RestoreIfLost();
    // The position of a playing 3-D sound relative to the listener; any other sound only
    // logs "Trying to position stopped sound".
    void SetPosition(float x, float y, float z);

    std::uint32_t Flags() const { return flags_; }
    float Volume() const { return volume_; }
    bool Loop() const { return loop_; }
    bool IsStreamed() const { return streamed_; }
    const boost::shared_ptr<SoundFile>& File() const { return file_; }
    Audio::Buffer& Buffer() const { return *buf_; }

protected:
    // A buffer of bufSize_ bytes: silent, or holding `pcm` (exactly bufSize_ bytes).
    void CreateBuffer(std::uint32_t flags, std::vector<std::uint8_t> pcm);
    // Writes the source from its start into the whole buffer, silence after its end.
    void Fill();
    std::uint8_t Silence() const;

    std::uint32_t flags_;
    boost::shared_ptr<SoundFile> file_;
    std::unique_ptr<Audio::Buffer> buf_;
    std::uint32_t bufSize_;
    float volume_ = 1.0f;
    bool loop_;
    bool streamed_ = false;
};

} // namespace Sound
