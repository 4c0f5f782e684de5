#pragma once

#include "Game/SaveInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>

// One entry of a save game's pack read with bounds: nothing of a file larger than a save
// can be, or of an entry larger than its kind can be, is read, whatever its directory
// claims (a sparse file claims gigabytes on a few bytes of disk).
namespace SavePack {

// The largest "data" entry: the game's XML document.
constexpr std::size_t kMaxData = 64 * 1024 * 1024;
// The longest part name a summary holds, and so the largest "info" entry: its 14 bytes
// and the name.
constexpr std::size_t kMaxPartName = 64 * 1024;
constexpr std::size_t kMaxInfo = SaveInfo::kHeaderSize + kMaxPartName;
// The most entries a save pack's directory may list (the engine writes two).
constexpr std::uint32_t kMaxEntries = 16;
// The largest save file: both entries at their largest and room for the directory.
constexpr std::uint64_t kMaxFile = kMaxData + kMaxInfo + 64 * 1024;

// An entry of a save: its name in the pack, what the log calls it and its largest size.
struct Kind {
    const char* name_;
    const char* what_;
    std::size_t limit_;
};
constexpr Kind kData{"data", "game data", kMaxData};
constexpr Kind kInfo{"info", "summary", kMaxInfo};

// The bytes of the entry of the save pack at path, unscrambled. False with the reason ("not
// a save pack", "no summary", "its game data is 70000000 bytes, more than 67108864" ...) when
// the file cannot be read, is larger than kMaxFile, is no pack that fits its file, lists
// more than kMaxEntries entries, lacks the entry or holds it larger than its kind can be.
bool Read(const std::string& path, const Kind& kind, std::string& out, std::string& reason);

} // namespace SavePack
