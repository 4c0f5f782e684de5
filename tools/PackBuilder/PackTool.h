#pragma once

#include <string>

// The three jobs of the pack tool. Names are UTF-8 on the command line and in the file
// system, and Windows-1252 inside a pack (the data's code page). Each answers the process's
// exit status (0, or 1 after a failure it has reported on standard error).
namespace PackTool {

// Packs every regular file under folder into a new pack at packPath, each named by its path
// relative to folder with '/' separators.
int Build(const std::string& folder, const std::string& packPath);

// Writes one line per entry, in name order: the name, a tab, the size in bytes.
int List(const std::string& packPath);

// Writes every entry, or only the one named `entry` when it is not empty, into folder under
// its name, making the nested folders its name holds. A name that would leave the folder
// (absolute, or with an empty, "." or ".." part) is refused.
int Extract(const std::string& packPath, const std::string& folder, const std::string& entry);

} // namespace PackTool
