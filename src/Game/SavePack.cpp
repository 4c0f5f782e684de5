#include "Game/SavePack.h"

#include "FileSystem/Pack.h"
#include "FileSystem/PackDirectory.h"
#include "FileSystem/PackFile.h"

namespace SavePack {

bool Read(const std::string& path, const Kind& kind, std::string& out, std::string& reason) {
    const std::shared_ptr<PackFile> file = PackFile::Open(path);
    if (file == nullptr) {
        reason = "cannot open the file";
        return false;
    }
    if (file->Size() > kMaxFile) {
        reason = "the file is " + std::to_string(file->Size()) +
                 " bytes, more than a save can be (" + std::to_string(kMaxFile) + ")";
        return false;
    }
    // The entry count, checked before the directory is read: the file's size alone would
    // allow millions.
    unsigned char count[4] = {};
    PackEntryTable entries;
    if (file->ReadAt(4, count, sizeof count) != sizeof count ||
        (count[0] | count[1] << 8 | count[2] << 16 | std::uint32_t{count[3]} << 24) > kMaxEntries ||
        !ReadPackDirectory(*file, path, entries)) {
        reason = "not a save pack";
        return false;
    }
    const auto found = entries.find(kind.name_);
    if (found == entries.end()) {
        reason = std::string("no ") + kind.what_;
        return false;
    }
    const std::uint32_t size = found->second.size_;
    if (size > kind.limit_) {
        reason = std::string("its ") + kind.what_ + " is " + std::to_string(size) +
                 " bytes, more than " + std::to_string(kind.limit_);
        return false;
    }
    out.resize(size);
    if (file->ReadAt(found->second.offset_, out.data(), size) !=
        static_cast<std::ptrdiff_t>(size)) {
        reason = std::string("cannot read its ") + kind.what_;
        return false;
    }
    auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
    Pack::Unscramble(bytes, bytes, size);
    return true;
}

} // namespace SavePack
