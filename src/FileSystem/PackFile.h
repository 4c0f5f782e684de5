#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// One pack file opened for reading. Reads are positional (pread), so any number of
// entry streams on any thread share the descriptor without a shared file position.
class PackFile {
public:
    // Opens the file at path; none when it cannot be opened or is not a regular file.
    static std::shared_ptr<PackFile> Open(const std::string& path);

    ~PackFile();
    PackFile(const PackFile&) = delete;
    PackFile& operator=(const PackFile&) = delete;

    // The file's size when it was opened.
    std::uint64_t Size() const { return size_; }

    // Reads up to size bytes at position pos into buffer; stops early only at the end of
    // the file. Returns the count of bytes delivered, or -1 on a read error.
    std::ptrdiff_t ReadAt(std::uint64_t pos, void* buffer, std::size_t size) const;

private:
    PackFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

    int fd_;
    std::uint64_t size_;
};
