#include "FileSystem/PackDirectory.h"

#include "FileSystem/PackFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr std::uint64_t kHeaderSize = 8;      // magic, entry count
constexpr std::uint64_t kFixedEntrySize = 12; // name length, offset, size

// Sequential little-endian reads of the directory through a small buffer.
class DirectoryReader {
public:
    explicit DirectoryReader(const PackFile& file) : file_(file) {}

    std::uint64_t Position() const { return pos_; }
    std::uint64_t Left() const { return file_.Size() - pos_; }

    bool Bytes(void* out, std::size_t size) {
        auto* dest = static_cast<unsigned char*>(out);
        while (size > 0) {
            if (next_ == end_ && !Fill()) {
                return false;
            }
            const std::size_t n = std::min(size, end_ - next_);
            std::memcpy(dest, buffer_.data() + next_, n);
            next_ += n;
            pos_ += n;
            dest += n;
            size -= n;
        }
        return true;
    }

    bool U32(std::uint32_t& value) {
        unsigned char b[4];
        if (!Bytes(b, sizeof b)) {
            return false;
        }
        value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
        return true;
    }

private:
    bool Fill() {
        const std::ptrdiff_t got = file_.ReadAt(pos_, buffer_.data(), buffer_.size());
        if (got <= 0) {
            return false;
        }
        next_ = 0;
        end_ = static_cast<std::size_t>(got);
        return true;
    }

    const PackFile& file_;
    std::array<unsigned char, 64 * 1024> buffer_{};
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    std::uint64_t pos_ = 0;
};

} // namespace

bool ReadPackDirectory(const PackFile& file, const std::string& path, PackEntryTable& out) {
    const std::uint64_t fileSize = file.Size();
    if (fileSize < kHeaderSize) {
        return false;
    }
    DirectoryReader reader(file);
    std::uint32_t magic = 0; // written as "KVPK" but never compared
    std::uint32_t count = 0;
    if (!reader.U32(magic) || !reader.U32(count) ||
        count > (fileSize - kHeaderSize) / kFixedEntrySize) {
        return false;
    }
    PackEntryTable parsed;
    std::uint64_t dataEnd = 0; // the furthest end of any entry's data, from the directory's end
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t length = 0;
        if (!reader.U32(length) || length > reader.Left()) {
            return false;
        }
        std::string name(length, '\0');
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
        if (!reader.Bytes(name.data(), length) || !reader.U32(offset) || !reader.U32(size)) {
            return false;
        }
        dataEnd = std::max(dataEnd, std::uint64_t{offset} + size);
        parsed[std::move(name)] = PackEntry{path, offset, size};
    }
    const std::uint64_t directoryEnd = reader.Position();
    if (dataEnd > fileSize - directoryEnd) {
        return false;
    }
    for (auto& [name, entry] : parsed) {
        entry.offset_ += directoryEnd;
    }
    out = std::move(parsed);
    return true;
}
