#pragma once

#include "support/TestSupport.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class Locator;
class wxInputStream;

namespace test {

// One raw directory entry, written as given (for damaged packs).
struct RawEntry {
    std::string name;
    std::uint32_t length; // the stored name length
    std::uint32_t offset;
    std::uint32_t size;
};

// Little-endian u32.
std::string U32(std::uint32_t value);

// A pack's bytes: magic, count, the raw entries, then data (written as is).
std::string RawPack(std::uint32_t count, const std::vector<RawEntry>& entries,
                    const std::string& data);

std::vector<std::uint8_t> Bytes(const std::string& text);
std::string Text(const std::vector<std::uint8_t>& bytes);
// The bytes XORed with the pack's key, as a pack stores them.
std::string Scrambled(std::string bytes);

// A stream's bytes up to its length, or "<none>" for none.
std::string ReadStream(const std::unique_ptr<wxInputStream>& stream);
// The file's bytes through Locator::ReadAll, or "<none>".
std::string Read(Locator& locator, const std::string& path);

// The log lines written since this object was made.
using LogTail = LogSince;

// An installation tree: root/Bin, root/Data, root/Save, under a temporary folder whose
// name may hold characters that locations treat specially.
class GameTree {
public:
    explicit GameTree(const std::string& rootName = "game");
    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path Data() const { return root_ / "Data"; }
    std::filesystem::path Save() const { return root_ / "Save"; }

    void AddLoose(const std::string& relative, const std::string& bytes) const;
    void AddPack(const std::string& fileName,
                 const std::vector<std::pair<std::string, std::string>>& entries) const;
    // Names are given in UTF-8 and stored so (flagged as UTF-8 in the archive), or with
    // codePageNames in Windows-1252 without the flag, as the data's own tools store them.
    void AddZip(const std::string& fileName,
                const std::vector<std::pair<std::string, std::string>>& entries,
                bool codePageNames = false) const;
    // Makes every entry of the ZIP archive declare `size` uncompressed bytes, in its local
    // header and in the catalogue, whatever it holds.
    void DeclareZipSize(const std::string& fileName, std::uint32_t size) const;

private:
    TempDir temp_;
    std::filesystem::path root_;
};

} // namespace test
