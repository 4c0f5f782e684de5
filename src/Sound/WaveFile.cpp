#include "Sound/WaveFile.h"

#include "FileSystem/Locator.h"
#include "Game/Check.h"
#include "Game/Exception.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace Sound {

namespace {

const char* const kWhere = ".\\Sound\\WaveFile";

constexpr std::size_t kPcmFormatBytes = 16; // the fields every wave format starts with
constexpr std::uint16_t kTagPcm = 1;

std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

WaveFile::WaveFile(const std::string& name) : WaveFile(name, Locator::Instance().Open(name)) {}

WaveFile::WaveFile(const std::string& name, std::unique_ptr<wxInputStream> stream)
    : SoundFile(name), stream_(Seekable(std::move(stream))) {
    Open();
}

void WaveFile::Open() {
    if (stream_ == nullptr) {
        throw exception("Cannot open WAV file: '" + name_);
    }
    const wxFileOffset fileEnd = stream_->SeekI(0, wxFromEnd);
    std::array<std::uint8_t, 12> riff{};
    Assert(fileEnd != wxInvalidOffset && ReadAt(0, riff.data(), riff.size()), kWhere,
           "0 == mmioDescend( hmmio_, &ckRiff_, 0, 0 )");
    Assert(std::memcmp(riff.data(), "RIFF", 4) == 0 && std::memcmp(&riff[8], "WAVE", 4) == 0,
           kWhere,
           "(ckRiff_.ckid == ((DWORD)(BYTE)('R') | ((DWORD)(BYTE)('I') << 8) | "
           "((DWORD)(BYTE)('F') << 16) | ((DWORD)(BYTE)('F') << 24 ))) && (ckRiff_.fccType == "
           "((DWORD)(BYTE)('W') | ((DWORD)(BYTE)('A') << 8) | ((DWORD)(BYTE)('V') << 16) | "
           "((DWORD)(BYTE)('E') << 24 )) )");
    riffEnd_ = std::min<std::uint64_t>(8 + std::uint64_t{U32(&riff[4])},
                                       static_cast<std::uint64_t>(fileEnd));

    Chunk fmt;
    Assert(Find("fmt ", fmt), kWhere, "0 == mmioDescend( hmmio_, &ckIn, &ckRiff_, 0x0010 )");
    Assert(fmt.size >= kPcmFormatBytes, kWhere, "ckIn.cksize >= (LONG) sizeof(PCMWAVEFORMAT)");
    Assert(ReadAt(fmt.offset, wfx_.data(), kPcmFormatBytes), kWhere,
           "mmioRead( hmmio_, (HPSTR) &pcmWaveFormat, sizeof(pcmWaveFormat)) == "
           "sizeof(pcmWaveFormat)");
    const std::uint16_t tag = static_cast<std::uint16_t>(wfx_[0] | (wfx_[1] << 8));
    if (tag != kTagPcm) {
        // The extra bytes of the format must lie inside the "fmt " chunk.
        std::array<std::uint8_t, 2> count{};
        Assert(fmt.size >= kPcmFormatBytes + 2 &&
                   ReadAt(fmt.offset + kPcmFormatBytes, count.data(), count.size()),
               kWhere, "mmioRead( hmmio_, (CHAR*)&cbExtraBytes, sizeof(WORD)) == sizeof(WORD)");
        const std::size_t extra = count[0] | (count[1] << 8);
        wfx_[16] = count[0];
        wfx_[17] = count[1];
        wfx_.resize(18 + extra);
        Assert(fmt.size >= 18 + extra && ReadAt(fmt.offset + 18, &wfx_[18], extra), kWhere,
               "mmioRead( hmmio_, (CHAR *)( &wfx_[sizeof(WAVEFORMATEX)] ),cbExtraBytes ) == "
               "cbExtraBytes");
    }

    Assert(Find("data", data_), kWhere, "0 == mmioDescend( hmmio_, &ck_, &ckRiff_, 0x0010 )");
    // Only whole sample frames: a looping stream would otherwise shift its samples.
    if (const std::uint16_t align = BlockAlign(); align != 0) {
        data_.size -= data_.size % align;
    }
    Reset();
    size_ = data_.size;
}

bool WaveFile::Find(const char* id, Chunk& chunk) {
    std::uint64_t at = 12;
    std::array<std::uint8_t, 8> header{};
    while (at + header.size() <= riffEnd_ && ReadAt(at, header.data(), header.size())) {
        const std::uint32_t size = U32(&header[4]);
        if (std::memcmp(header.data(), id, 4) == 0) {
            chunk.offset = at + header.size();
            chunk.size =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(size, riffEnd_ - chunk.offset));
            return true;
        }
        at += header.size() + size + (size & 1); // chunks are padded to an even size
    }
    return false;
}

bool WaveFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t bytes) {
    if (stream_->SeekI(static_cast<wxFileOffset>(offset)) == wxInvalidOffset) {
        return false;
    }
    return bytes == 0 || stream_->Read(buffer, bytes).LastRead() == bytes;
}

void WaveFile::Reset() {
    Assert(stream_->SeekI(static_cast<wxFileOffset>(data_.offset)) != wxInvalidOffset, kWhere,
           "-1 != mmioSeek( hmmio_, ckRiff_.dwDataOffset + sizeof(FOURCC), 0 )");
    left_ = data_.size;
}

std::uint32_t WaveFile::Read(void* buffer, std::uint32_t bytes) {
    bytes = std::min(bytes, left_);
    left_ -= bytes;
    // The size was bounded by the file at its opening: a short read here is a failing stream.
    Assert(bytes == 0 || stream_->Read(buffer, bytes).LastRead() == bytes, kWhere,
           "mmioinfoIn.pchNext != mmioinfoIn.pchEndRead");
    return bytes;
}

} // namespace Sound
