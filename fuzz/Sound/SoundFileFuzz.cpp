// Opens arbitrary bytes as a WAVE file and as an Ogg Vorbis file and reads each whole, in
// pieces, twice around a rewind, then decodes it whole: a source may refuse the bytes with
// `exception`, but what it opens must deliver exactly its announced length.

#include "Game/Exception.h"
#include "Sound/OggFile.h"
#include "Sound/WaveFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>
#include <wx/mstream.h>

namespace {

std::unique_ptr<wxInputStream> Stream(const std::uint8_t* data, std::size_t size) {
    return std::make_unique<wxMemoryInputStream>(data, size);
}

// Reads the source to its end in odd-sized pieces; returns the bytes delivered.
std::uint64_t Drain(Sound::SoundFile& file) {
    std::vector<std::uint8_t> buffer(4099);
    std::uint64_t total = 0;
    while (const std::uint32_t got =
               file.Read(buffer.data(), static_cast<std::uint32_t>(buffer.size()))) {
        if (got > buffer.size()) {
            std::abort();
        }
        total += got;
        if (total > file.Size()) {
            std::abort();
        }
    }
    return total;
}

template <class Source>
void Exercise(const std::uint8_t* data, std::size_t size, bool exact) {
    try {
        Source file("fuzz", Stream(data, size));
        if (file.Format().size() < 18) {
            std::abort();
        }
        const std::uint64_t first = Drain(file);
        file.Reset();
        const std::uint64_t second = Drain(file);
        // A WAVE file delivers its whole length each time; a damaged Vorbis stream may end
        // early, and where depends on how far its rewind got.
        if (exact && (first != file.Size() || second != first)) {
            std::abort();
        }
        // Decoded whole for a static buffer: never beyond the bound, and the length it
        // settles on is what the source delivers afterwards.
        constexpr std::uint32_t kLimit = 1 << 20;
        const std::vector<std::uint8_t> pcm = file.DecodeAll(kLimit);
        if (pcm.size() > kLimit || pcm.size() != file.Size() ||
            (exact && Drain(file) != pcm.size())) {
            std::abort();
        }
    } catch (const exception&) {
        // Refused: a damaged file is an error the caller reports.
    }
}

} // namespace

// vorbisfile leaks the headers of a later link when opening a damaged chained stream fails
// (its own error path, after which ov_clear cannot reach them); leaks of the engine's code
// are still reported.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libvorbisfile.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Exercise<Sound::WaveFile>(data, size, true);
    Exercise<Sound::OggFile>(data, size, false);
    return 0;
}
