#pragma once

#include <filesystem>
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

struct ProcessResult {
    int status = -1; // exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs a program with arguments in a working folder and collects what it printed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& workDir);

// The engine executable of the assembled game tree.
std::string GameExecutable();

} // namespace test
