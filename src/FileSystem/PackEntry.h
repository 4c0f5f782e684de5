#pragma once

#include <cstdint>
#include <map>
#include <string>

// Where one entry of a pack lies: the pack's path, the absolute position of the entry's
// first byte in the pack file and the entry's size.
struct PackEntry {
    std::string pack_;
    std::uint64_t offset_ = 0;
    std::uint32_t size_ = 0;
};

// Entries by name (byte-wise, case-sensitive).
using PackEntryTable = std::map<std::string, PackEntry>;
