#pragma once

#include "support/TestSupport.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

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

// The log lines written after the line marker (which is written first).
class LogTail {
public:
    LogTail();
    std::vector<std::string> Lines() const;

private:
    std::string marker_;
};

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
    void AddZip(const std::string& fileName,
                const std::vector<std::pair<std::string, std::string>>& entries) const;

private:
    TempDir temp_;
    std::filesystem::path root_;
};

} // namespace test
