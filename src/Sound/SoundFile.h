#pragma once

#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include <wx/stream.h>

namespace Sound {

// A sound file of the game's data turned into PCM bytes for a sound buffer: the wave format
// record, the PCM length, reading forward and rewinding to the first sample. One thread at a
// time uses a source.
class SoundFile {
public:
    // A source for the file chosen by the extension after its last dot, compared after
    // lowering its case: "wav" gives a WaveFile, "ogg" an OggFile, anything else (or no dot)
    // none. A missing or malformed file throws `exception`.
    static boost::shared_ptr<SoundFile> Create(const std::string& name);
    // Whether Create chooses a source for the name: its extension is "wav" or "ogg".
    static bool IsKnown(const std::string& name);

    explicit SoundFile(const std::string& name);
    virtual ~SoundFile() = default;
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    // Copies up to `bytes` PCM bytes into `buffer`; returns how many were delivered.
    virtual std::uint32_t Read(void* buffer, std::uint32_t bytes) = 0;
    // Back to the first sample.
    virtual void Reset() = 0;
    // The whole sound from its first sample, at most `limit` bytes (whole frames), for a
    // buffer of its size; Size() is then the length returned. A source whose length is bounded
    // by its file reads exactly that; one whose length is a claim of its header (an Ogg file)
    // decodes to find it. The source is at its first sample afterwards.
    virtual std::vector<std::uint8_t> DecodeAll(std::uint32_t limit);

    const std::string& Name() const { return name_; }
    // The wave format record: 18 bytes, plus the extra bytes of a non-PCM format.
    const std::vector<std::uint8_t>& Format() const { return wfx_; }
    // PCM bytes of the whole sound.
    std::uint32_t Size() const { return size_; }
    // Fields of the format record.
    std::uint16_t Channels() const;
    std::uint16_t BlockAlign() const;
    std::uint16_t BitsPerSample() const;

protected:
    // The text after the last dot in lower case; empty without a dot.
    static std::string Extension(const std::string& name);
    // A stream that can seek: a stream that cannot (an entry of a ZIP archive) is read whole
    // into memory first, by what it delivers (see WholeStream); one that comes short, runs
    // past its length or is too large throws `exception` "Cannot read file '<name>': <why>".
    // Null stays null.
    std::unique_ptr<wxInputStream> Seekable(std::unique_ptr<wxInputStream> stream) const;
    // The stream origin of a C seek origin (SEEK_SET, SEEK_CUR, SEEK_END).
    static wxSeekMode SeekMode(int whence);

    std::string name_;
    std::vector<std::uint8_t> wfx_;
    std::uint32_t size_ = 0;
};

} // namespace Sound
