#include "FileSystem/InternalInputStream.h"

#include "FileSystem/Pack.h"
#include "FileSystem/PackFile.h"

#include <algorithm>

namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kPiece = 256 * 1024;

} // namespace

InternalInputStream::InternalInputStream(std::shared_ptr<const PackFile> file, std::uint64_t offset,
                                         std::uint32_t length)
    : file_(std::move(file)), offset_(offset), length_(length) {}

size_t InternalInputStream::OnSysRead(void* buffer, size_t size) {
    if (size == 0) {
        return 0;
    }
    if (position_ >= length_) {
        m_lasterror = wxSTREAM_EOF;
        return 0;
    }
    const std::size_t count = std::min<std::size_t>(size, length_ - position_);
    // Pieces are read at page-aligned file positions into an aligned buffer that stays in
    // the cache, then unscrambled into place: entries start at any byte of the pack, and
    // copies between differently aligned addresses are slow.
    // One buffer per thread, so streams on several threads never share it.
    alignas(kPage) thread_local static std::uint8_t bounce[kPiece];
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::uint64_t at = offset_ + position_;
        const std::size_t skip = static_cast<std::size_t>(at % kPage);
        const std::size_t want = std::min(kPiece - skip, count - done);
        const std::ptrdiff_t got = file_->ReadAt(at - skip, bounce, skip + want);
        // At most want bytes of the entry arrived; none on an error.
        const std::size_t used =
            got > static_cast<std::ptrdiff_t>(skip) ? static_cast<std::size_t>(got) - skip : 0;
        Pack::Unscramble(bounce + skip, out + done, used);
        position_ += static_cast<std::uint32_t>(used);
        done += used;
        if (used < want) {
            // An I/O error, or the pack file shrank under the entry.
            m_lasterror = wxSTREAM_READ_ERROR;
            return done;
        }
    }
    m_lasterror = wxSTREAM_NO_ERROR;
    return done;
}

size_t InternalInputStream::ReadDirect(void* buffer, size_t size) {
    m_lastcount = OnSysRead(buffer, size);
    return m_lastcount;
}

wxFileOffset InternalInputStream::OnSysSeek(wxFileOffset offset, wxSeekMode mode) {
    wxFileOffset base = 0;
    switch (mode) {
    case wxFromStart:
        base = 0;
        break;
    case wxFromCurrent:
        base = position_;
        break;
    case wxFromEnd:
        base = length_;
        break;
    default:
        return position_;
    }
    // base and length are below 2^32, so only an offset near the 64-bit limits can overflow.
    wxFileOffset target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0 || target > length_) {
        target = length_;
    }
    position_ = static_cast<std::uint32_t>(target);
    return position_;
}
