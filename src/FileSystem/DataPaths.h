#pragma once

#include <optional>
#include <string>
#include <vector>

// Rules for paths relative to the data folder, and the folder listings the locator uses.
namespace DataPaths {

// Backslashes become '/', leading "./" are dropped; letter case is kept.
std::string Normalise(const std::string& path);

// True for a path that must not be looked up: absolute ("/x", "C:/x") or holding a ".."
// segment, either of which could leave the data folder.
bool IsRefused(const std::string& normalised);

// Full paths of the regular, non-hidden files directly in folder whose extension equals
// extension (with its dot) ignoring case, sorted by name ignoring case (ties by bytes).
// A missing folder gives an empty list.
std::vector<std::string> ListArchives(const std::string& folder, const std::string& extension);

// The full path of the regular file under folder whose relative path equals relative
// ignoring (ASCII) case, segment by segment; an exact segment is preferred, else the first
// match in byte order. None when there is no such file.
std::optional<std::string> FindIgnoringCase(const std::string& folder, const std::string& relative);

// The installation root: the parent of the folder that holds the running executable.
std::string ExecutableRoot();

} // namespace DataPaths
