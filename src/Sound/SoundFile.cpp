#include "Sound/SoundFile.h"

#include "Sound/OggFile.h"
#include "Sound/WaveFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <wx/mstream.h>

namespace Sound {

namespace {

// The bytes of the holder, placed first so they exist before the stream over them.
struct Bytes {
    std::vector<char> bytes_;
};

// A memory stream that owns its bytes.
class MemoryStream : private Bytes, public wxMemoryInputStream {
public:
    MemoryStream(std::vector<char> bytes, std::size_t size)
        : Bytes{std::move(bytes)}, wxMemoryInputStream(bytes_.data(), size) {}
};

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

} // namespace

std::string SoundFile::Extension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return {};
    }
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool SoundFile::IsKnown(const std::string& name) {
    const std::string extension = Extension(name);
    return extension == "wav" || extension == "ogg";
}

boost::shared_ptr<SoundFile> SoundFile::Create(const std::string& name) {
    const std::string extension = Extension(name);
    if (extension == "wav") {
        return boost::shared_ptr<SoundFile>(new WaveFile(name));
    }
    if (extension == "ogg") {
        return boost::shared_ptr<SoundFile>(new OggFile(name));
    }
    return {};
}

SoundFile::SoundFile(const std::string& name) : name_(name), wfx_(18, 0) {}

std::uint16_t SoundFile::Channels() const {
    return Word(wfx_, 2);
}

std::uint16_t SoundFile::BlockAlign() const {
    return Word(wfx_, 12);
}

std::uint16_t SoundFile::BitsPerSample() const {
    return Word(wfx_, 14);
}

std::unique_ptr<wxInputStream> SoundFile::Seekable(std::unique_ptr<wxInputStream> stream) {
    if (stream == nullptr || stream->IsSeekable()) {
        return stream;
    }
    std::vector<char> bytes(1); // never empty: the stream wants memory even for 0 bytes
    std::size_t size = 0;
    constexpr std::size_t kPiece = 65536;
    for (;;) {
        bytes.resize(size + kPiece);
        const std::size_t got = stream->Read(bytes.data() + size, kPiece).LastRead();
        if (got == 0) {
            break;
        }
        size += got;
    }
    return std::make_unique<MemoryStream>(std::move(bytes), size);
}

wxSeekMode SoundFile::SeekMode(int whence) {
    switch (whence) {
    case SEEK_CUR:
        return wxFromCurrent;
    case SEEK_END:
        return wxFromEnd;
    default:
        return wxFromStart;
    }
}

} // namespace Sound
