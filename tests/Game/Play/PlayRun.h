#pragma once

#include "support/GameTree.h"
#include "support/Pictures.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace play {

struct Played {
    test::ProcessResult process;
    std::vector<std::string> log;
};

// Plays the game tree in `dir` through the real executable under a session script (written
// to dir/session.txt; its captures land in dir), logging to dir/run.log, until the script
// closes the window (a minute at most). A file-size limit other than 0 stops the program's
// writes past that many bytes (test::StopOptions).
Played Play(const std::filesystem::path& dir, const std::string& script,
            std::vector<std::string> args, std::uint64_t fileSizeLimit = 0);

// The expected picture of that name in this folder's expected/.
std::filesystem::path Expected(const std::string& name);

} // namespace play
