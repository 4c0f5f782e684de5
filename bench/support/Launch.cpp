#include "Launch.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace bench {

std::uint64_t NowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::uint64_t(t.tv_sec) * 1000000000u + std::uint64_t(t.tv_nsec);
}

pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::string>& extraEnvironment, const fs::path& folder,
            const fs::path& output) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    env.insert(env.end(), extraEnvironment.begin(), extraEnvironment.end());
    if (std::getenv("SDL_VIDEODRIVER") == nullptr) {
        env.emplace_back("SDL_VIDEODRIVER=offscreen");
    }
    if (std::getenv("SDL_AUDIODRIVER") == nullptr) {
        env.emplace_back("SDL_AUDIODRIVER=dummy");
    }
    std::vector<char*> envp, argv;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> all = args;
    all.insert(all.begin(), program);
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int r = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return r == 0 ? pid : -1;
}

Launched::Launched(const std::string& program, const std::vector<std::string>& args,
                   const fs::path& folder) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    swaps_ = fds[0];
    // The write end goes to the program; it closes with the program.
    const int writeEnd = fcntl(fds[1], F_DUPFD, 3);
    close(fds[1]);
    const std::vector<std::string> env = {std::string("LD_PRELOAD=") + KV_SWAP_CLOCK,
                                          "KV_SWAP_FD=" + std::to_string(writeEnd)};
    start_ = NowNs();
    pid_ = Spawn(program, args, env, folder);
    close(writeEnd);
}

Launched::~Launched() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        if (!Wait(20000)) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    if (swaps_ >= 0) {
        close(swaps_);
    }
}

bool Launched::NextSwap(std::uint64_t& ns, int timeoutMs) {
    pollfd p{swaps_, POLLIN, 0};
    if (swaps_ < 0 || poll(&p, 1, timeoutMs) <= 0 || (p.revents & POLLIN) == 0) {
        return false;
    }
    return read(swaps_, &ns, sizeof ns) == ssize_t(sizeof ns);
}

std::size_t Launched::TakeSwaps() {
    std::size_t count = 0;
    std::uint64_t ns = 0;
    while (NextSwap(ns, 0)) {
        ++count;
    }
    return count;
}

double Launched::CpuSeconds() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name (which may hold spaces) in parentheses: utime is the
    // 14th field of the line, stime the 15th.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return 0.0;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) {
            utime = std::stoul(field);
        } else if (i == 15) {
            stime = std::stoul(field);
        }
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

bool Launched::Wait(int timeoutMs) {
    for (int waited = 0; pid_ > 0; waited += 5) {
        const pid_t r = waitpid(pid_, nullptr, WNOHANG);
        if (r == pid_ || (r < 0 && errno != EINTR)) {
            pid_ = -1;
            return true;
        }
        if (waited >= timeoutMs) {
            return false;
        }
        usleep(5000);
    }
    return true;
}

GameCopy::GameCopy(const char* built) {
    char pattern[] = "/tmp/kv_bench_XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return;
    }
    folder_ = pattern;
    const char* other = std::getenv("KV_BENCH_GAME");
    const fs::path game = other != nullptr && *other != '\0' ? fs::path(other) : fs::path(built);
    fs::create_directories(folder_ / "Bin");
    fs::create_directories(folder_ / "Save");
    fs::copy_file(game / "Bin" / "korvantine", Executable());
    fs::copy(game / "Data", folder_ / "Data", fs::copy_options::recursive);
}

GameCopy::~GameCopy() {
    if (Made()) {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
}

} // namespace bench
