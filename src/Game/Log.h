#pragma once

#include <boost/format.hpp>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

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

// While it lives, the lines its thread logs through LogWrite are kept in it instead of written:
// a thread that works ahead of the order the log must show hands them to the thread that writes
// them in that order. Holds nest; the innermost one keeps the lines.
class LogHold {
public:
    LogHold();
    ~LogHold();
    LogHold(const LogHold&) = delete;
    LogHold& operator=(const LogHold&) = delete;

    // The lines kept so far, oldest first; the hold is empty afterwards.
    std::vector<std::string> Take();

private:
    friend void LogWrite(const std::string& text);

    std::vector<std::string> lines_;
    LogHold* outer_;
};

void LogWrite(const std::string& text);

// The most bytes of a value read from a file that a log line quotes.
constexpr std::size_t kLogValueLength = 80;

// A value read from a file (a time field, a name, an attribute) as a log line quotes it: as it
// is up to kLogValueLength bytes; a longer one is cut there, never inside a UTF-8 character,
// and marked with the length it had, so that a damaged file cannot fill the log with itself.
std::string LogValue(const std::string& value);

// Logs a message with positional placeholders: LogFormat("Loaded texture '%1%'", path).
template <typename... Args>
void LogFormat(const std::string& message, const Args&... args) {
    boost::format f(message);
    (f % ... % args);
    LogWrite(f.str());
}
