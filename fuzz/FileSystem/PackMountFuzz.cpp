// Mounts arbitrary bytes as a pack and reads every entry the directory names, whole and
// in small pieces with seeks between them.

#include "FileSystem/InternalInputStream.h"
#include "FileSystem/Pack.h"
#include "FileSystem/PackDirectory.h"
#include "FileSystem/PackFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

// The pack lives in an in-memory file, opened again by path like any pack.
int PackFd() {
    static const int fd = ::memfd_create("pack", MFD_CLOEXEC);
    if (fd < 0) {
        std::abort();
    }
    return fd;
}

void ReadEntry(const PackEntry& record, const std::string& path) {
    InternalInputStream stream(Pack::Stream(path), record.offset_, record.size_);
    std::vector<char> buffer(4096);
    std::uint64_t total = 0;
    while (stream.Read(buffer.data(), buffer.size()).LastRead() > 0) {
        total += stream.LastRead();
    }
    if (total > record.size_) {
        std::abort();
    }
    stream.SeekI(-3, wxFromEnd);
    stream.Read(buffer.data(), 7);
    stream.SeekI(record.size_ / 2);
    stream.Read(buffer.data(), 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = PackFd();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (!Pack::Mount(path)) {
        return 0;
    }
    const auto file = PackFile::Open(path);
    PackEntryTable directory;
    if (file == nullptr || !ReadPackDirectory(*file, path, directory)) {
        std::abort(); // the directory mounted a moment ago must read the same way
    }
    for (const auto& [name, entry] : directory) {
        const auto record = Pack::Find(path, name);
        if (!record || record->offset_ != entry.offset_ || record->size_ != entry.size_) {
            std::abort();
        }
        ReadEntry(*record, path);
    }
    return 0;
}
