// Reading a pack for the tool: its directory, validated against the file as the engine does,
// and its entries' bytes.

#include "FileSystem/CodePage.h"
#include "FileSystem/Pack.h"
#include "FileSystem/PackDirectory.h"
#include "FileSystem/PackFile.h"
#include "PackTool.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace PackTool {

namespace {

constexpr std::size_t kChunk = 1 << 20;

struct OpenPack {
    std::shared_ptr<PackFile> file;
    PackEntryTable entries;
};

std::optional<OpenPack> Open(const std::string& packPath) {
    OpenPack pack;
    pack.file = PackFile::Open(packPath);
    if (!pack.file) {
        std::cerr << "kvpack: cannot open " << packPath << "\n";
        return std::nullopt;
    }
    if (!ReadPackDirectory(*pack.file, packPath, pack.entries)) {
        std::cerr << "kvpack: " << packPath << " is not a pack, or is damaged\n";
        return std::nullopt;
    }
    return pack;
}

// A name as it can be shown whatever its bytes: those outside printable ASCII as \xHH.
std::string Printable(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            shown += c;
        } else {
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
    return shown;
}

// The entry's name as a path inside the folder, or none when it is not a name of the code
// page or would lead out of the folder.
std::optional<fs::path> RelativePath(const std::string& name) {
    const auto utf8 = CodePage::ToUtf8(name);
    if (!utf8 || utf8->empty() || utf8->find('\0') != std::string::npos) {
        return std::nullopt;
    }
    fs::path path;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = std::min(utf8->find('/', begin), utf8->size());
        const std::string part = utf8->substr(begin, end - begin);
        if (part.empty() || part == "." || part == "..") {
            return std::nullopt;
        }
        path /= part;
        if (end == utf8->size()) {
            return path;
        }
        begin = end + 1;
    }
}

// The entry's bytes, unscrambled, into a new file at path (its folders made first).
bool WriteEntry(const PackFile& file, const PackEntry& entry, const fs::path& path) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (error || !out) {
        return false;
    }
    std::vector<std::uint8_t> chunk(std::min<std::size_t>(kChunk, entry.size_));
    for (std::uint64_t done = 0; done < entry.size_;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), entry.size_ - done));
        if (file.ReadAt(entry.offset_ + done, chunk.data(), n) != static_cast<std::ptrdiff_t>(n)) {
            return false;
        }
        Pack::Unscramble(chunk.data(), chunk.data(), n);
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(n));
        done += n;
    }
    out.close();
    return !out.fail();
}

} // namespace

int List(const std::string& packPath) {
    const std::optional<OpenPack> pack = Open(packPath);
    if (!pack) {
        return 1;
    }
    int status = 0;
    for (const auto& [name, entry] : pack->entries) {
        const auto utf8 = CodePage::ToUtf8(name);
        if (!utf8) {
            std::cerr << "kvpack: the name " << Printable(name)
                      << " is not text of the data's code page\n";
            status = 1;
            continue;
        }
        std::cout << *utf8 << '\t' << entry.size_ << '\n';
    }
    std::cout.flush();
    return std::cout.good() ? status : 1;
}

int Extract(const std::string& packPath, const std::string& folder, const std::string& entry) {
    const std::optional<OpenPack> pack = Open(packPath);
    if (!pack) {
        return 1;
    }
    PackEntryTable chosen = pack->entries;
    if (!entry.empty()) {
        const auto name = CodePage::FromUtf8(entry);
        const auto found = name ? pack->entries.find(*name) : pack->entries.end();
        if (found == pack->entries.end()) {
            std::cerr << "kvpack: " << packPath << " has no entry " << entry << "\n";
            return 1;
        }
        chosen = PackEntryTable{*found};
    }
    int status = 0;
    for (const auto& [name, record] : chosen) {
        const std::optional<fs::path> relative = RelativePath(name);
        if (!relative) {
            std::cerr << "kvpack: refusing the entry " << Printable(name)
                      << ": its name is not a path inside the folder\n";
            status = 1;
            continue;
        }
        const fs::path path = fs::path(folder) / *relative;
        if (!WriteEntry(*pack->file, record, path)) {
            std::cerr << "kvpack: cannot write " << path << "\n";
            status = 1;
        }
    }
    return status;
}

} // namespace PackTool
