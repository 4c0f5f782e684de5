#pragma once

#include "Sound/SoundFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <wx/stream.h>

namespace Sound {

// A RIFF WAVE file read from the data locator's stream, so files inside pack and ZIP
// archives work too. Every size in the file is bounded by the bytes the file really holds:
// the chunk walk ends at the file's end whatever the RIFF size says (some writers leave it
// 0), a data chunk that claims more than the file has is cut to what is there (logged once),
// and the PCM length is a whole number of sample frames. The extensible format with a PCM
// sub-format counts as PCM, and 24-bit and 32-bit integer samples are delivered as 16-bit
// samples (their upper two bytes).
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
        std::uint64_t offset = 0;   // of the chunk's data
        std::uint32_t size = 0;     // bounded by the file
        std::uint32_t declared = 0; // as the chunk's header says
    };

    void Open();
    void ReadFormat(const Chunk& fmt);
    // The first chunk `id` after the RIFF header.
    bool Find(const char* id, Chunk& chunk);
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t bytes);
    // Reads `bytes` bytes of 16-bit samples converted from the file's wider ones.
    void ReadNarrowed(std::uint8_t* out, std::uint32_t bytes);

    std::unique_ptr<wxInputStream> stream_;
    std::uint64_t fileEnd_ = 0;
    Chunk data_;
    std::uint32_t left_ = 0;      // PCM bytes not yet delivered
    std::uint16_t wideBytes_ = 0; // bytes of a file sample narrowed to 16 bits; 0: none
    int carry_ = -1;              // the high byte of a sample split between two reads
};

} // namespace Sound
