#pragma once

#include "FileSystem/PackEntry.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class PackFile;

// The engine's pack archive: magic "KVPK", entry count, a directory of {name, offset,
// size} with offsets counted from the end of the directory, then the entries' bytes, each
// XORed with kXorKey. Integers are unsigned 32-bit little-endian.
//
// Mounted packs live in process-wide tables guarded by one mutex. Data packs (those the
// locator lists in the data folder) share one table by entry name: the pack mounted last
// serves a name. Any other pack (a save game) gets a table of its own, keyed by its path,
// and its locations resolve only there.
namespace Pack {

constexpr std::uint8_t kXorKey = 0xA7;

using Entries = std::map<std::string, std::vector<std::uint8_t>>;

// Which table a mount fills.
enum class Table { Own, Data };

// Writes the entries (in name order) as a pack at path. The bytes go to path + ".tmp",
// are synced and then renamed over path, so an existing file stays untouched unless the
// whole new pack is on disk. False (and no temporary file left) on any failure.
bool Write(const Entries& entries, const std::string& path);

// Opens the pack at path and loads its directory into the table chosen. The directory is
// validated as a whole first; a pack that fails is logged as "Bad pack '%1%'" and changes
// no table. Mounting a pack again replaces its stream (open entry streams keep the old one).
bool Mount(const std::string& path, Table table = Table::Own);

// The entry that serves name for a location naming packPath: the shared table for a data
// pack; otherwise the pack's own table, mounting the pack once more on a miss when its
// file exists.
std::optional<PackEntry> Find(const std::string& packPath, const std::string& name);

// The open file of a mounted pack, or none.
std::shared_ptr<const PackFile> Stream(const std::string& packPath);

// Forgets every mounted pack (the locator starts its data tables afresh; tests).
void UnmountAll();

// XORs bytes with kXorKey in place.
void Scramble(std::uint8_t* bytes, std::size_t size);
// Copies size bytes from in to out, XORed with kXorKey.
void Unscramble(const std::uint8_t* in, std::uint8_t* out, std::size_t size);

} // namespace Pack
