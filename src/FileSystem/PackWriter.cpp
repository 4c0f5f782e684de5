// Pack::Write: the pack goes to a temporary file beside the target, which replaces the
// target only once every byte is written and synced.

#include "FileSystem/AtomicFile.h"
#include "FileSystem/Pack.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t kChunk = 64 * 1024;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
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

bool WriteEntries(AtomicFile& file, const Pack::Entries& entries) {
    std::vector<std::uint8_t> chunk(kChunk);
    for (const auto& [name, bytes] : entries) {
        for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
            const std::size_t n = std::min(kChunk, bytes.size() - at);
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), n, chunk.begin());
            Pack::Scramble(chunk.data(), n);
            if (!file.Write(chunk.data(), n)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

namespace Pack {

bool Write(const Entries& entries, const std::string& path) {
    std::vector<std::uint8_t> header;
    if (!Header(entries, header)) {
        return false;
    }
    AtomicFile file(path);
    return file.Write(header.data(), header.size()) && WriteEntries(file, entries) && file.Commit();
}

} // namespace Pack
