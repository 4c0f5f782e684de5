#pragma once

#include "Sound/SoundFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <wx/stream.h>

namespace Sound {

// A RIFF WAVE file read from the data locator's stream, so files inside pack and ZIP
// archives work too. Every size in the file is bounded by the bytes the file really holds:
// a data chunk that claims more than the file has is cut to what is there, and the PCM
// length is a whole number of sample frames.
class WaveFile : public SoundFile {
public:
    // Opens the file through the locator: "Cannot open WAV file: '<name>" when missing.
    explicit WaveFile(const std::string& name);
    // The same over a stream already open; none counts as a missing file.
    WaveFile(const std::string& name, std::unique_ptr<wxInputStream> stream);

    std::uint32_t Read(void* buffer, std::uint32_t bytes) override;
    void Reset() override;

private:
    struct Chunk {
        std::uint64_t offset = 0; // of the chunk's data
        std::uint32_t size = 0;   // bounded by the RIFF chunk and the file
    };

    void Open();
    // The first chunk `id` inside the RIFF chunk.
    bool Find(const char* id, Chunk& chunk);
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t bytes);

    std::unique_ptr<wxInputStream> stream_;
    std::uint64_t riffEnd_ = 0; // end of the RIFF chunk's data
    Chunk data_;
    std::uint32_t left_ = 0; // data bytes not yet read
};

} // namespace Sound
