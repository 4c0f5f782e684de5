#pragma once

#include <cstdint>
#include <memory>
#include <wx/stream.h>

class PackFile;

// A read-only stream over one entry of a pack: bytes are read at the entry's position in
// the pack file (positional reads, so streams on several threads never disturb each
// other) and unscrambled. End of stream is reported only at the entry's end.
class InternalInputStream : public wxInputStream {
public:
    InternalInputStream(std::shared_ptr<const PackFile> file, std::uint64_t offset,
                        std::uint32_t length);

    // Reads like Read, without the stream library's clearing of the whole buffer first
    // (a second pass over memory when a large entry is read at once).
    size_t ReadDirect(void* buffer, size_t size);

    wxFileOffset GetLength() const override { return length_; }
    bool IsSeekable() const override { return true; }

protected:
    size_t OnSysRead(void* buffer, size_t size) override;
    // Any target outside 0 to the length puts the position at the end.
    wxFileOffset OnSysSeek(wxFileOffset offset, wxSeekMode mode) override;
    wxFileOffset OnSysTell() const override { return position_; }

private:
    std::shared_ptr<const PackFile> file_;
    std::uint64_t offset_;
    std::uint32_t length_;
    std::uint32_t position_ = 0;
};
