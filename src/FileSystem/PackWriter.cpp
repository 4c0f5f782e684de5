// Pack::Write: the pack goes to a temporary file beside the target, which replaces the
// target only once every byte is written and synced.

#include "FileSystem/Pack.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <unistd.h>

namespace {

constexpr std::size_t kChunk = 64 * 1024;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, bytes, size);
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

// Magic, count and directory; false when a count, name or offset does not fit 32 bits.
bool Header(const Pack::Entries& entries, std::vector<std::uint8_t>& out) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    if (entries.size() > kMax) {
        return false;
    }
    out = {'K', 'V', 'P', 'K'};
    PutU32(out, static_cast<std::uint32_t>(entries.size()));
    std::uint64_t offset = 0;
    for (const auto& [name, bytes] : entries) {
        if (name.size() > kMax || bytes.size() > kMax || offset > kMax) {
            return false;
        }
        PutU32(out, static_cast<std::uint32_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        PutU32(out, static_cast<std::uint32_t>(offset));
        PutU32(out, static_cast<std::uint32_t>(bytes.size()));
        offset += bytes.size();
    }
    return true;
}

bool WriteEntries(int fd, const Pack::Entries& entries) {
    std::vector<std::uint8_t> chunk(kChunk);
    for (const auto& [name, bytes] : entries) {
        for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
            const std::size_t n = std::min(kChunk, bytes.size() - at);
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), n, chunk.begin());
            Pack::Scramble(chunk.data(), n);
            if (!WriteAll(fd, chunk.data(), n)) {
                return false;
            }
        }
    }
    return true;
}

// Makes the rename itself durable.
bool SyncFolder(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

} // namespace

namespace Pack {

bool Write(const Entries& entries, const std::string& path) {
    std::vector<std::uint8_t> header;
    if (!Header(entries, header)) {
        return false;
    }
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok =
        WriteAll(fd, header.data(), header.size()) && WriteEntries(fd, entries) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    return SyncFolder(path);
}

} // namespace Pack
