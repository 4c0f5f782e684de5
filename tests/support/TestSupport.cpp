#include "support/TestSupport.h"

#include "Game/Log.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name()
                                       : std::string("tmp");
    path_ = fs::path(KV_TEST_TMP_DIR) /
            (name + "." + std::to_string(::getpid()) + "." + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> OnlyLines(std::vector<std::string> lines,
                                   const std::vector<std::string>& wanted) {
    std::erase_if(lines, [&](const std::string& line) {
        return std::find(wanted.begin(), wanted.end(), line) == wanted.end();
    });
    return lines;
}

namespace {

std::string Slurp(const fs::path& path) {
    try {
        return ReadFile(path);
    } catch (const std::runtime_error&) {
        return {};
    }
}

// A started program whose output goes to two files.
struct Child {
    pid_t pid = -1;
    fs::path outPath;
    fs::path errPath;
};

// The test's environment with the given "NAME=value" entries replacing or adding names (a
// later entry of a name wins).
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> merged;
    for (char** e = environ; *e != nullptr; ++e) {
        merged.emplace_back(*e);
    }
    for (const std::string& entry : overrides) {
        const std::string prefix = entry.substr(0, entry.find('=') + 1);
        std::erase_if(merged, [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
        merged.push_back(entry);
    }
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& t : texts) {
        pointers.push_back(t.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

Child Spawn(const std::string& program, const std::vector<std::string>& args,
            const fs::path& workDir, const std::vector<std::string>& environment,
            std::uint64_t fileSizeLimit = 0) {
    static std::atomic<int> counter{0};
    const fs::path base = fs::path(KV_TEST_TMP_DIR) /
                          ("proc." + std::to_string(::getpid()) + "." + std::to_string(counter++));
    fs::create_directories(base.parent_path());
    Child child;
    child.outPath = base.string() + ".out";
    child.errPath = base.string() + ".err";

    // Everything the child needs is made before the fork.
    std::vector<std::string> argTexts{program};
    argTexts.insert(argTexts.end(), args.begin(), args.end());
    std::vector<std::string> envTexts = MergedEnvironment(environment);
    const std::vector<char*> argv = Pointers(argTexts);
    const std::vector<char*> envp = Pointers(envTexts);

    child.pid = ::fork();
    if (child.pid == 0) {
        if (::chdir(workDir.c_str()) != 0 || !std::freopen(child.outPath.c_str(), "w", stdout) ||
            !std::freopen(child.errPath.c_str(), "w", stderr)) {
            ::_exit(127);
        }
        if (fileSizeLimit != 0) {
            // An ignored SIGXFSZ is kept across exec: writes past the limit fail with EFBIG.
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit),
                               static_cast<rlim_t>(fileSizeLimit)};
            if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR ||
                ::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                ::_exit(127);
            }
        }
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    return child;
}

// The process runs the program (it has executed it).
bool Runs(pid_t pid, const std::string& program) {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec);
    return !ec && fs::equivalent(exe, program, ec);
}

ProcessResult Collect(const Child& child, int status) {
    ProcessResult result;
    if (WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
    }
    result.out = Slurp(child.outPath);
    result.err = Slurp(child.errPath);
    std::error_code ec;
    fs::remove(child.outPath, ec);
    fs::remove(child.errPath, ec);
    return result;
}

} // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const fs::path& workDir) {
    const Child child = Spawn(program, args, workDir, {});
    int status = -1;
    if (child.pid < 0 || ::waitpid(child.pid, &status, 0) != child.pid) {
        status = -1;
    }
    return Collect(child, status);
}

ReadyCheck WhenLogHasLine(const fs::path& workDir, const fs::path& file, const std::string& line) {
    const fs::path path = file.is_absolute() ? file : workDir / file;
    return [path, line](int) {
        const std::vector<std::string> lines = SplitLines(Slurp(path));
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
}

ReadyCheck WhenCatchingSigterm() {
    return [](int pid) {
        // "SigCgt:" in the process status: the caught signals as a hexadecimal mask.
        std::istringstream status(Slurp("/proc/" + std::to_string(pid) + "/status"));
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("SigCgt:", 0) == 0) {
                const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
                return (mask >> (SIGTERM - 1) & 1) != 0;
            }
        }
        return false;
    };
}

ProcessResult RunProcessUntil(const std::string& program, const std::vector<std::string>& args,
                              const fs::path& workDir, const StopOptions& stop) {
    using Clock = std::chrono::steady_clock;
    constexpr std::chrono::seconds kGrace{90};
    const Child child = Spawn(program, args, workDir, stop.environment, stop.fileSizeLimit);
    if (child.pid < 0) {
        return Collect(child, -1);
    }
    const Clock::time_point started = Clock::now();
    std::optional<Clock::time_point> stopped;
    bool ready = false;
    int status = -1;
    for (;;) {
        const pid_t done = ::waitpid(child.pid, &status, WNOHANG);
        if (done == child.pid) {
            break;
        }
        if (done < 0) {
            status = -1;
            break;
        }
        const Clock::time_point now = Clock::now();
        if (!stopped) {
            // Asked only once the child runs the program: between the fork and the exec it
            // is still a copy of the test.
            ready = stop.ready && Runs(child.pid, program) && stop.ready(child.pid);
            if (ready || now - started >= stop.timeout) {
                ::kill(child.pid, SIGTERM);
                stopped = now;
            }
        } else if (now - *stopped >= kGrace) {
            ::kill(child.pid, SIGKILL);
            ::waitpid(child.pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ProcessResult result = Collect(child, status);
    result.ready = ready;
    return result;
}

LogSince::LogSince() {
    static std::atomic<int> serial{0};
    marker_ = "-- mark " + std::to_string(++serial);
    LogWrite(marker_);
}

std::vector<std::string> LogSince::Lines() const {
    std::vector<std::string> lines = SplitLines(Log::Instance().Lines());
    auto it = std::find(lines.begin(), lines.end(), marker_);
    EXPECT_NE(it, lines.end()) << "too many lines logged to judge";
    return it == lines.end() ? std::vector<std::string>{}
                             : std::vector<std::string>(it + 1, lines.end());
}

long LogSince::Count(const std::string& line) const {
    const std::vector<std::string> lines = Lines();
    return std::count(lines.begin(), lines.end(), line);
}

std::string GameExecutable() {
    return std::string(KV_GAME_DIR) + "/Bin/korvantine";
}

} // namespace test
