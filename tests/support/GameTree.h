#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace test {

// A game tree of its own in `dir` for runs of the real executable: Bin/korvantine (a copy:
// the engine takes the parent of its executable's folder for the root), Data copied from
// `data` with the effects and common textures of the assembled game tree where `data` has
// none of its own, and an empty Save.
void AssembleGameTree(const std::filesystem::path& dir, const std::filesystem::path& data);

// "NAME=value" entries for a run on SDL's headless drivers, without leak checks at exit.
std::vector<std::string> HeadlessEnvironment();

} // namespace test
