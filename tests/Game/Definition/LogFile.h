#pragma once

#include "Game/Log.h"
#include "support/TestSupport.h"

#include <string>
#include <vector>

namespace test {

// The file the test program's log writes to.
std::string LogFilePath();

// The lines written to the log file after this object was made (all of them, unlike
// LogSince, which sees only the kept lines).
class LogFileSince {
public:
    LogFileSince() : marker_("-- since " + std::to_string(++count_) + " --") { LogWrite(marker_); }

    std::vector<std::string> Lines() const {
        const std::vector<std::string> all = SplitLines(ReadFile(LogFilePath()));
        std::vector<std::string> lines;
        bool after = false;
        for (const std::string& line : all) {
            if (after) {
                lines.push_back(line);
            }
            after = after || line == marker_;
        }
        return lines;
    }

private:
    static inline int count_ = 0;
    std::string marker_;
};

} // namespace test
