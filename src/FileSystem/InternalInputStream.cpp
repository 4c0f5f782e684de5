#include "FileSystem/InternalInputStream.h"

#include "FileSystem/Pack.h"
#include "FileSystem/PackFile.h"

#include <algorithm>

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
    const std::ptrdiff_t got = file_->ReadAt(offset_ + position_, buffer, count);
    if (got <= 0) {
        // An I/O error, or the pack file shrank under the entry.
        m_lasterror = wxSTREAM_READ_ERROR;
        return 0;
    }
    Pack::Scramble(static_cast<std::uint8_t*>(buffer), static_cast<std::size_t>(got));
    position_ += static_cast<std::uint32_t>(got);
    m_lasterror = wxSTREAM_NO_ERROR;
    return static_cast<size_t>(got);
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
