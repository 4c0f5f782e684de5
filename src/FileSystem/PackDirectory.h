#pragma once

#include "FileSystem/PackEntry.h"

#include <string>

class PackFile;

// Reads and validates the whole directory of a pack against the file's size: the count
// must fit in the bytes after the header, every name within the file, and every entry's
// data (counted from the end of the directory) within the file. A name repeated in the
// pack keeps its last entry. On success out holds every entry with its absolute offset
// and pack set to path; on failure out is left unchanged and false is returned. No
// allocation exceeds the file's size, whatever the directory claims.
bool ReadPackDirectory(const PackFile& file, const std::string& path, PackEntryTable& out);
