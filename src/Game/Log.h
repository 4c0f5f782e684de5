#pragma once

#include <boost/format.hpp>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>

// The process-wide log: every line goes to the log file (when one is open), flushed at
// once, and the last ten lines are kept for the on-screen console. Lines carry no time
// stamp or level; a line may hold newlines and is still one kept entry.
class Log {
public:
    static constexpr std::size_t kKeptLines = 10;

    // The one log of the process, built on the first call with the settings record's log
    // path (so that path must be final before the first line is logged).
    static Log& Instance();

    // A log writing to path; an empty path keeps lines in memory only. A file that cannot
    // be opened leaves the log memory-only and says so once on standard error.
    explicit Log(const std::string& path);

    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    void Write(const std::string& line);

    // The kept lines, oldest first, joined by "\n" (none after the last).
    std::string Lines() const;

    bool HasFile() const { return file_.is_open(); }

private:
    mutable std::mutex mutex_;
    std::ofstream file_;
    std::deque<std::string> lines_;
};

void LogWrite(const std::string& text);

// Logs a message with positional placeholders: LogFormat("Loaded texture '%1%'", path).
template <typename... Args>
void LogFormat(const std::string& message, const Args&... args) {
    boost::format f(message);
    (f % ... % args);
    LogWrite(f.str());
}
