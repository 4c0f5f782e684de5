#include "FileSystem/Pack.h"

#include "FileSystem/PackDirectory.h"
#include "FileSystem/PackFile.h"
#include "Game/Log.h"

#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

namespace {

struct Tables {
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const PackFile>> streams_;
    PackEntryTable shared_;                     // data packs, by name
    std::map<std::string, PackEntryTable> own_; // other packs, by pack path
    std::set<std::string> data_;                // paths mounted as data packs
};

Tables& tables() {
    static Tables instance;
    return instance;
}

bool MountLocked(Tables& t, const std::string& path, Pack::Table table) {
    std::shared_ptr<PackFile> file = PackFile::Open(path);
    PackEntryTable parsed;
    if (file == nullptr || !ReadPackDirectory(*file, path, parsed)) {
        LogFormat("Bad pack '%1%'", path);
        return false;
    }
    t.streams_[path] = std::move(file);
    if (table == Pack::Table::Data) {
        t.data_.insert(path);
        for (auto& [name, entry] : parsed) {
            t.shared_[name] = std::move(entry);
        }
    } else {
        t.own_[path] = std::move(parsed);
    }
    return true;
}

std::optional<PackEntry> Lookup(const PackEntryTable& table, const std::string& name) {
    const auto it = table.find(name);
    if (it == table.end()) {
        return std::nullopt;
    }
    return it->second;
}

// Eight bytes at a time, which the compiler widens to the vector registers it targets.
[[gnu::always_inline]] inline void XorCopy(const std::uint8_t* in, std::uint8_t* out,
                                           std::size_t size) {
    constexpr std::uint64_t kWideKey = 0x0101010101010101ULL * Pack::kXorKey;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        word ^= kWideKey;
        std::memcpy(out + i, &word, 8);
    }
    for (; i < size; ++i) {
        out[i] = in[i] ^ Pack::kXorKey;
    }
}

void XorPlain(const std::uint8_t* in, std::uint8_t* out, std::size_t size) {
    XorCopy(in, out, size);
}

__attribute__((target("avx2"))) void XorWide(const std::uint8_t* in, std::uint8_t* out,
                                             std::size_t size) {
    XorCopy(in, out, size);
}

} // namespace

namespace Pack {

bool Mount(const std::string& path, Table table) {
    Tables& t = tables();
    const std::lock_guard lock(t.mutex_);
    return MountLocked(t, path, table);
}

std::optional<PackEntry> Find(const std::string& packPath, const std::string& name) {
    Tables& t = tables();
    const std::lock_guard lock(t.mutex_);
    // Data packs never change after the locator's start, so a miss there is final.
    if (t.data_.count(packPath) != 0) {
        return Lookup(t.shared_, name);
    }
    if (const auto own = t.own_.find(packPath); own != t.own_.end()) {
        if (auto found = Lookup(own->second, name)) {
            return found;
        }
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(packPath, error) ||
        !MountLocked(t, packPath, Table::Own)) {
        return std::nullopt;
    }
    return Lookup(t.own_[packPath], name);
}

std::shared_ptr<const PackFile> Stream(const std::string& packPath) {
    Tables& t = tables();
    const std::lock_guard lock(t.mutex_);
    const auto it = t.streams_.find(packPath);
    return it == t.streams_.end() ? nullptr : it->second;
}

void UnmountAll() {
    Tables& t = tables();
    const std::lock_guard lock(t.mutex_);
    t.streams_.clear();
    t.shared_.clear();
    t.own_.clear();
    t.data_.clear();
}

void Scramble(std::uint8_t* bytes, std::size_t size) {
    Unscramble(bytes, bytes, size);
}

void Unscramble(const std::uint8_t* in, std::uint8_t* out, std::size_t size) {
    // The XOR must not bound the reading of large entries: where the processor has AVX2
    // the loop runs twice as wide.
    static const bool wide = __builtin_cpu_supports("avx2");
    if (wide) {
        XorWide(in, out, size);
    } else {
        XorPlain(in, out, size);
    }
}

} // namespace Pack
