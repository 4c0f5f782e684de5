#include "Sound/WaveFile.h"

#include "FileSystem/Locator.h"
#include "Game/Check.h"
#include "Game/Exception.h"
#include "Game/Log.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace Sound {

namespace {

const char* const kWhere = ".\\Sound\\WaveFile";
const char* const kDataUnread = "the sound data cannot be read";

constexpr std::size_t kPcmFormatBytes = 16; // the fields every wave format starts with
constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
// The extensible format's fields after the common 18 bytes: valid bits (2), channel mask (4)
// and the sub-format's GUID (16), whose PCM form is given here.
constexpr std::size_t kExtensibleBytes = 40;
constexpr std::size_t kSubFormatAt = 24;
constexpr std::array<std::uint8_t, 16> kSubFormatPcm = {
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// Samples narrowed per read of the file.
constexpr std::size_t kNarrowPiece = 4096;

std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void Put16(std::uint8_t* p, std::uint32_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t value) {
    Put16(p, value);
    Put16(p + 2, value >> 16);
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
    Require(fileEnd != wxInvalidOffset && ReadAt(0, riff.data(), riff.size()), kWhere,
            "0 == mmioDescend( hmmio_, &ckRiff_, 0, 0 )", "shorter than a RIFF header");
    Require(std::memcmp(riff.data(), "RIFF", 4) == 0 && std::memcmp(&riff[8], "WAVE", 4) == 0,
            kWhere,
            "(ckRiff_.ckid == ((DWORD)(BYTE)('R') | ((DWORD)(BYTE)('I') << 8) | "
            "((DWORD)(BYTE)('F') << 16) | ((DWORD)(BYTE)('F') << 24 ))) && (ckRiff_.fccType == "
            "((DWORD)(BYTE)('W') | ((DWORD)(BYTE)('A') << 8) | ((DWORD)(BYTE)('V') << 16) | "
            "((DWORD)(BYTE)('E') << 24 )) )",
            "not a RIFF WAVE file");
    // The RIFF size is not trusted either way: too large is cut by the file, and too small
    // (0 from writers that never go back to fill it in) must not hide the chunks.
    fileEnd_ = static_cast<std::uint64_t>(fileEnd);

    Chunk fmt;
    Require(Find("fmt ", fmt), kWhere, "0 == mmioDescend( hmmio_, &ckIn, &ckRiff_, 0x0010 )",
            "no format chunk");
    ReadFormat(fmt);

    Require(Find("data", data_), kWhere, "0 == mmioDescend( hmmio_, &ck_, &ckRiff_, 0x0010 )",
            "no data chunk");
    if (data_.size < data_.declared) {
        LogFormat("WAV file '%1%' ends inside its data: %2% of %3% bytes are there", name_,
                  data_.size, data_.declared);
    }
    // Only whole sample frames: a looping stream would otherwise shift its samples.
    const std::uint32_t frame = wideBytes_ != 0 ? wideBytes_ * Channels() : BlockAlign();
    if (frame != 0) {
        data_.size -= data_.size % frame;
    }
    size_ = wideBytes_ != 0 ? data_.size / wideBytes_ * 2 : data_.size;
    Reset();
}

void WaveFile::ReadFormat(const Chunk& fmt) {
    Require(fmt.size >= kPcmFormatBytes, kWhere, "ckIn.cksize >= (LONG) sizeof(PCMWAVEFORMAT)",
            "a format chunk of " + std::to_string(fmt.size) + " bytes");
    Require(ReadAt(fmt.offset, wfx_.data(), kPcmFormatBytes), kWhere,
            "mmioRead( hmmio_, (HPSTR) &pcmWaveFormat, sizeof(pcmWaveFormat)) == "
            "sizeof(pcmWaveFormat)",
            "the format cannot be read");
    std::uint16_t tag = U16(&wfx_[0]);
    if (tag == kTagExtensible && fmt.size >= kExtensibleBytes) {
        std::array<std::uint8_t, 16> subFormat{};
        if (ReadAt(fmt.offset + kSubFormatAt, subFormat.data(), subFormat.size()) &&
            subFormat == kSubFormatPcm) {
            tag = kTagPcm;
            Put16(&wfx_[0], tag);
        }
    }
    if (tag != kTagPcm) {
        // The extra bytes of the format must lie inside the "fmt " chunk.
        std::array<std::uint8_t, 2> count{};
        Require(fmt.size >= kPcmFormatBytes + 2 &&
                    ReadAt(fmt.offset + kPcmFormatBytes, count.data(), count.size()),
                kWhere, "mmioRead( hmmio_, (CHAR*)&cbExtraBytes, sizeof(WORD)) == sizeof(WORD)",
                "format " + std::to_string(tag) + " without the size of its extra bytes");
        const std::size_t extra = U16(count.data());
        wfx_[16] = count[0];
        wfx_[17] = count[1];
        wfx_.resize(18 + extra);
        Require(fmt.size >= 18 + extra && ReadAt(fmt.offset + 18, &wfx_[18], extra), kWhere,
                "mmioRead( hmmio_, (CHAR *)( &wfx_[sizeof(WAVEFORMATEX)] ),cbExtraBytes ) == "
                "cbExtraBytes",
                "the format's " + std::to_string(extra) + " extra bytes run past its chunk");
        return;
    }
    // PCM wider than the sound device takes is delivered as 16-bit samples.
    const std::uint16_t bits = BitsPerSample();
    if ((bits == 24 || bits == 32) && Channels() != 0) {
        wideBytes_ = bits / 8;
        const std::uint32_t align = 2u * Channels();
        Put32(&wfx_[8], U32(&wfx_[4]) * align);
        Put16(&wfx_[12], align);
        Put16(&wfx_[14], 16);
    }
}

bool WaveFile::Find(const char* id, Chunk& chunk) {
    std::uint64_t at = 12;
    std::array<std::uint8_t, 8> header{};
    while (at + header.size() <= fileEnd_ && ReadAt(at, header.data(), header.size())) {
        const std::uint32_t size = U32(&header[4]);
        if (std::memcmp(header.data(), id, 4) == 0) {
            chunk.offset = at + header.size();
            chunk.declared = size;
            chunk.size =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(size, fileEnd_ - chunk.offset));
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
    Require(stream_->SeekI(static_cast<wxFileOffset>(data_.offset)) != wxInvalidOffset, kWhere,
            "-1 != mmioSeek( hmmio_, ckRiff_.dwDataOffset + sizeof(FOURCC), 0 )",
            "cannot seek to the sound data");
    left_ = size_;
    carry_ = -1;
}

std::uint32_t WaveFile::Read(void* buffer, std::uint32_t bytes) {
    bytes = std::min(bytes, left_);
    left_ -= bytes;
    if (wideBytes_ != 0) {
        ReadNarrowed(static_cast<std::uint8_t*>(buffer), bytes);
        return bytes;
    }
    // The size was bounded by the file at its opening: a short read here is a failing stream.
    Require(bytes == 0 || stream_->Read(buffer, bytes).LastRead() == bytes, kWhere,
            "mmioinfoIn.pchNext != mmioinfoIn.pchEndRead", kDataUnread);
    return bytes;
}

void WaveFile::ReadNarrowed(std::uint8_t* out, std::uint32_t bytes) {
    std::uint32_t done = 0;
    if (carry_ >= 0 && bytes != 0) {
        out[done++] = static_cast<std::uint8_t>(carry_);
        carry_ = -1;
    }
    std::array<std::uint8_t, kNarrowPiece * 4> wide{};
    while (done < bytes) {
        // Whole samples; the last one may give only its low byte now.
        const std::size_t samples = std::min<std::size_t>((bytes - done + 1) / 2, kNarrowPiece);
        const std::size_t read = samples * wideBytes_;
        Require(stream_->Read(wide.data(), read).LastRead() == read, kWhere,
                "mmioinfoIn.pchNext != mmioinfoIn.pchEndRead", kDataUnread);
        // Little-endian: the upper two bytes of each sample are its 16-bit value.
        for (const std::uint8_t* s = wide.data() + wideBytes_ - 2; s < wide.data() + read;
             s += wideBytes_) {
            out[done++] = s[0];
            if (done < bytes) {
                out[done++] = s[1];
            } else {
                carry_ = s[1];
            }
        }
    }
}

} // namespace Sound
