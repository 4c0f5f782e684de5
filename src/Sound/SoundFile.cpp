#include "Sound/SoundFile.h"

#include "FileSystem/WholeStream.h"
#include "Game/Exception.h"
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
    std::vector<std::uint8_t> bytes_;
};

// A memory stream that owns its bytes.
class MemoryStream : private Bytes, public wxMemoryInputStream {
public:
    explicit MemoryStream(std::vector<std::uint8_t> bytes)
        : Bytes{std::move(bytes)}, wxMemoryInputStream(Start(bytes_), bytes_.size()) {}

private:
    // The stream wants memory even for 0 bytes.
    static const std::uint8_t* Start(const std::vector<std::uint8_t>& bytes) {
        static const std::uint8_t none = 0;
        return bytes.empty() ? &none : bytes.data();
    }
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

std::vector<std::uint8_t> SoundFile::DecodeAll(std::uint32_t limit) {
    const std::uint32_t frame = std::max<std::uint32_t>(BlockAlign(), 1);
    size_ = std::min(size_, limit - limit % frame);
    std::vector<std::uint8_t> pcm(size_);
    Reset();
    pcm.resize(Read(pcm.data(), size_));
    size_ = static_cast<std::uint32_t>(pcm.size());
    Reset();
    return pcm;
}

std::unique_ptr<wxInputStream> SoundFile::Seekable(std::unique_ptr<wxInputStream> stream) const {
    if (stream == nullptr || stream->IsSeekable()) {
        return stream;
    }
    std::vector<std::uint8_t> bytes;
    if (const std::string failure = WholeStream::Read(*stream, bytes); !failure.empty()) {
        throw exception("Cannot read file '" + name_ + "': " + failure);
    }
    return std::make_unique<MemoryStream>(std::move(bytes));
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
