#include "Sound/OggFile.h"

#include "FileSystem/Locator.h"
#include "Game/Exception.h"
#include "Game/Log.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace Sound {

namespace {

constexpr std::uint16_t kTagPcm = 1;
// The first guess of a decoded length: what the file claims, but no more than this many times
// its own size (Vorbis packs sound some 10 to 40 times), and at least a megabyte.
constexpr std::uint64_t kGuessRatio = 64;
constexpr std::uint64_t kGuessFloor = 1 << 20;
// The first piece when the file claims nothing.
constexpr std::size_t kFirstPiece = 64 * 1024;

void PutWord(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutLong(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    PutWord(bytes, at, value);
    PutWord(bytes, at + 2, value >> 16);
}

wxInputStream& StreamOf(void* source) {
    return *static_cast<wxInputStream*>(source);
}

} // namespace

OggFile::OggFile(const std::string& name) : OggFile(name, Locator::Instance().Open(name)) {}

OggFile::OggFile(const std::string& name, std::unique_ptr<wxInputStream> stream) : SoundFile(name) {
    Open(std::move(stream));
}

OggFile::~OggFile() {
    Close();
}

ov_callbacks OggFile::Callbacks() {
    ov_callbacks callbacks{};
    callbacks.read_func = [](void* ptr, size_t size, size_t count, void* source) -> size_t {
        if (size == 0) {
            return 0;
        }
        return StreamOf(source).Read(ptr, size * count).LastRead() / size;
    };
    callbacks.seek_func = [](void* source, ogg_int64_t offset, int whence) -> int {
        const wxFileOffset at =
            StreamOf(source).SeekI(static_cast<wxFileOffset>(offset), SeekMode(whence));
        return at == wxInvalidOffset ? -1 : 0;
    };
    callbacks.close_func = [](void*) -> int { return 0; }; // the source deletes its stream
    callbacks.tell_func = [](void* source) -> long {
        return static_cast<long>(StreamOf(source).TellI());
    };
    return callbacks;
}

void OggFile::Open(std::unique_ptr<wxInputStream> stream) {
    Close();
    stream_ = Seekable(std::move(stream));
    const std::string failure = "Specified file '" + name_ + "' is not in OGG format";
    if (stream_ == nullptr) {
        throw exception(failure);
    }
    if (ov_open_callbacks(stream_.get(), &decoder_, nullptr, 0, Callbacks()) < 0) {
        stream_.reset(); // vorbisfile has released what it took itself
        throw exception(failure);
    }
    const vorbis_info* info = ov_info(&decoder_, 0);
    const ogg_int64_t samples = ov_pcm_total(&decoder_, 0);
    if (info == nullptr || samples < 0) {
        Close();
        throw exception(failure);
    }
    const auto channels = static_cast<std::uint32_t>(info->channels);
    const auto rate = static_cast<std::uint32_t>(info->rate);
    const std::uint32_t blockAlign = 2 * channels;
    PutWord(wfx_, 0, kTagPcm);
    PutWord(wfx_, 2, channels);
    PutLong(wfx_, 4, rate);
    PutLong(wfx_, 8, blockAlign * rate);
    PutWord(wfx_, 12, blockAlign);
    PutWord(wfx_, 14, 16);
    PutWord(wfx_, 16, 0);
    // A length beyond 32 bits is cut to the whole frames that fit.
    claimed_ = static_cast<std::uint64_t>(samples) * blockAlign;
    const std::uint64_t limit = UINT32_MAX - UINT32_MAX % blockAlign;
    size_ = static_cast<std::uint32_t>(std::min(claimed_, limit));
    Reset();
}

void OggFile::Close() {
    if (stream_ != nullptr) {
        ov_clear(&decoder_);
        stream_.reset();
    }
}

void OggFile::Reset() {
    delivered_ = 0;
    ov_pcm_seek(&decoder_, 0);
}

std::uint32_t OggFile::Read(void* buffer, std::uint32_t bytes) {
    char* const out = static_cast<char*>(buffer);
    std::uint32_t got = 0;
    if (bytes == 0) {
        return 0;
    }
    while (delivered_ < size_ && got < bytes) {
        const std::uint32_t want =
            std::min({bytes - got, size_ - delivered_, static_cast<std::uint32_t>(INT_MAX)});
        int link = 0;
        const long result = ov_read(&decoder_, out + got, static_cast<int>(want), 0, 2, 1, &link);
        if (result == OV_HOLE) {
            continue; // a recoverable gap in the stream: decoding goes on after it
        }
        // The end of the stream, an error, or a later bitstream (its format may differ).
        if (result <= 0 || link != 0) {
            break;
        }
        delivered_ += static_cast<std::uint32_t>(result);
        got += static_cast<std::uint32_t>(result);
    }
    std::memset(out + got, 0, bytes - got);
    return got;
}

std::vector<std::uint8_t> OggFile::DecodeAll(std::uint32_t limit) {
    const std::uint32_t frame = BlockAlign();
    limit -= limit % frame;
    const wxFileOffset fileBytes = stream_->GetLength();
    const std::uint64_t guess =
        fileBytes > 0 ? std::max(kGuessFloor, kGuessRatio * static_cast<std::uint64_t>(fileBytes))
                      : kGuessFloor;
    std::vector<std::uint8_t> pcm;
    pcm.reserve(static_cast<std::size_t>(std::min({claimed_, guess, std::uint64_t{limit}})));
    pcm.resize(pcm.capacity());
    Reset();
    size_ = limit; // Read now stops only where the bitstream ends
    std::size_t done = 0;
    std::array<std::uint8_t, 4096> probe{};
    while (done < limit) {
        if (done == pcm.size()) {
            // Full: grow only when more sound follows.
            const std::uint32_t more =
                Read(probe.data(),
                     static_cast<std::uint32_t>(std::min<std::size_t>(probe.size(), limit - done)));
            if (more == 0) {
                break;
            }
            pcm.reserve(std::min<std::size_t>(limit, std::max(done * 2, kFirstPiece)));
            pcm.resize(pcm.capacity());
            std::memcpy(pcm.data() + done, probe.data(), more);
            done += more;
            continue;
        }
        const auto want = static_cast<std::uint32_t>(pcm.size() - done);
        const std::uint32_t got = Read(pcm.data() + done, want);
        done += got;
        if (got < want) {
            break;
        }
    }
    pcm.resize(done);
    // Memory the guess or the doubling left over goes back when it is a real part.
    if (pcm.capacity() - done > done / 8) {
        pcm.shrink_to_fit();
    }
    size_ = static_cast<std::uint32_t>(done);
    if (done != claimed_) {
        LogFormat("Ogg file '%1%' decodes to %2% bytes of sound, its last page claims %3%", name_,
                  done, claimed_);
    }
    Reset();
    return pcm;
}

} // namespace Sound
