#pragma once

#include "Sound/SoundFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vorbis/vorbisfile.h>
#include <wx/stream.h>

namespace Sound {

// An Ogg Vorbis file decoded to 16-bit signed little-endian PCM. Format and length are those
// of the file's first logical bitstream; decoding ends where that bitstream ends. The length
// is what the last page claims until DecodeAll has found what really decodes.
class OggFile : public SoundFile {
public:
    // Opens the file through the locator: "Specified file '<name>' is not in OGG format"
    // when it is missing or not Ogg Vorbis.
    explicit OggFile(const std::string& name);
    // The same over a stream already open; none counts as a missing file.
    OggFile(const std::string& name, std::unique_ptr<wxInputStream> stream);
    ~OggFile() override;

    // Delivers decoded bytes up to the announced length; what the stream cannot deliver of
    // the request is filled with zero bytes.
    std::uint32_t Read(void* buffer, std::uint32_t bytes) override;
    void Reset() override;
    // Decodes the whole bitstream into memory that grows as packets decode, up to `limit`
    // bytes, and takes what decoded as the length; logs once when that differs from what the
    // last page claimed.
    std::vector<std::uint8_t> DecodeAll(std::uint32_t limit) override;

private:
    void Open(std::unique_ptr<wxInputStream> stream);
    void Close();
    static ov_callbacks Callbacks();

    std::uint64_t claimed_ = 0;   // PCM bytes the last page claims
    std::uint32_t delivered_ = 0; // decoded bytes delivered since the last reset
    OggVorbis_File decoder_{};
    std::unique_ptr<wxInputStream> stream_;
};

} // namespace Sound
