#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace test {

// A fresh, empty folder under the build tree's test-tmp, removed when destroyed.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// The lines of a text, split at "\n" (a final newline ends the last line).
std::vector<std::string> SplitLines(const std::string& text);

// The lines of `lines` that are in `wanted`, in the order they came.
std::vector<std::string> OnlyLines(std::vector<std::string> lines,
                                   const std::vector<std::string>& wanted);

struct ProcessResult {
    int status = -1; // exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
    bool ready = false; // RunProcessUntil: the readiness check passed before the stop
};

// Runs a program with arguments in a working folder and collects what it printed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& workDir);

// Whether a running program (by process id) is ready to be stopped.
using ReadyCheck = std::function<bool(int pid)>;
// Ready once the file (a relative path is taken from the working folder) has the line.
ReadyCheck WhenLogHasLine(const std::filesystem::path& workDir, const std::filesystem::path& file,
                          const std::string& line);
// Ready once the program has a handler of its own for SIGTERM (so SIGTERM asks it to end
// instead of killing it).
ReadyCheck WhenCatchingSigterm();

struct StopOptions {
    ReadyCheck ready;
    // SIGTERM is sent when the check passes, or when this much time has passed without.
    std::chrono::milliseconds timeout{30000};
    // "NAME=value" entries set in the program's environment on top of the test's own.
    std::vector<std::string> environment;
    // When not 0: no file the program writes may grow beyond this many bytes (a full disk);
    // the write fails instead.
    std::uint64_t fileSizeLimit = 0;
};

// Runs a program that does not end by itself: SIGTERM stops it once it is ready (checked
// every 20 ms) or at the timeout, whichever comes first; a program that ends by itself
// earlier is simply collected. A program still running 90 s after SIGTERM is killed, so a
// test never hangs.
ProcessResult RunProcessUntil(const std::string& program, const std::vector<std::string>& args,
                              const std::filesystem::path& workDir, const StopOptions& stop);

// The entries of the process's log written since this object was made, split into lines
// (the log keeps only its last ten entries).
class LogSince {
public:
    LogSince();
    std::vector<std::string> Lines() const;
    long Count(const std::string& line) const;

private:
    std::string marker_;
};

// The engine executable of the assembled game tree.
std::string GameExecutable();

} // namespace test
