// Resident memory of the real executable at the end of the demo route (the main menu, into the
// house, through the hall, the study and the desk, back out and back to the menu with Escape),
// against a minimal SDL2 and OpenGL program that opens the same window and context and presents
// one cleared frame (bench/Game/MinimalGl.cpp). Each round runs both, one after the
// other, so a busy machine weighs on both alike; the counters are medians over the rounds.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// The demo route, clicked at frames the threaded preload leaves time for. The game clock steps
// 200 ms per frame; the pointer is moved now and then so that nothing idles.
constexpr const char* kRoute = "step 200\n"
                               "at 60 move 512 445\n" // New game
                               "at 62 press left\n"
                               "at 63 release left\n"
                               "at 90 move 512 420\n"
                               "at 120 move 512 420\n"
                               "at 150 move 512 420\n" // the study door
                               "at 152 press left\n"
                               "at 153 release left\n"
                               "at 179 move 512 500\n" // the desk
                               "at 182 press left\n"
                               "at 183 release left\n"
                               "at 189 move 512 760\n" // the bottom border, twice
                               "at 192 press left\n"
                               "at 193 release left\n"
                               "at 202 press left\n"
                               "at 203 release left\n"
                               "at 212 keydown Escape\n" // the menu
                               "at 213 keyup Escape\n"
                               "at 222 move 512 445\n"
                               "at 600 close\n";

// The states the route activates, in order.
const std::vector<std::string> kPath = {
    "intro_loading -> activate", "menu_main -> activate", "house_loading -> activate",
    "hall -> activate",          "study -> activate",     "desk -> activate",
    "study -> activate",         "hall -> activate",      "menu_main -> activate"};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The activations of ordinary states in the log so far.
std::vector<std::string> Activations(const fs::path& log) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(log));
    for (std::string line; std::getline(in, line);) {
        if (line.size() > 11 && line.compare(line.size() - 11, 11, "-> activate") == 0 &&
            line.rfind("t_", 0) != 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

long ResidentKb(pid_t pid) {
    std::istringstream in(ReadFile("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Starts a program with extra environment variables in a folder, its standard output to
// `output` and its errors to nowhere; -1 on failure.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::string>& environment, const fs::path& folder,
            const fs::path& output) {
    std::vector<std::string> env(environment);
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
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

int Wait(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

const std::vector<std::string> kHeadless = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};

// The minimal program's resident memory in kB; -1 on failure.
long MinimalKb(const fs::path& folder) {
    const fs::path out = folder / "minimal.txt";
    const fs::path program = KV_MINIMAL_GL;
    const pid_t pid = Spawn(program.string(), {}, kHeadless, folder, out);
    if (pid < 0 || Wait(pid) != 0) {
        return -1;
    }
    long kb = -1;
    std::sscanf(ReadFile(out).c_str(), "rss_kb %ld", &kb);
    return kb;
}

// The engine's resident memory in kB at the end of the route, shortly after its last
// activation; -1 when the run took another way.
long EngineKb(const fs::path& tree) {
    const fs::path log = tree / "route.log";
    fs::remove(log);
    std::ofstream(tree / "route.txt") << kRoute;
    std::vector<std::string> env = kHeadless;
    env.push_back("KORVANTINE_SESSION=" + (tree / "route.txt").string());
    const pid_t pid =
        Spawn((tree / "Bin/korvantine").string(),
              {"--windowed", "--verbose", "--log=" + log.string()}, env, tree, "/dev/null");
    if (pid < 0) {
        return -1;
    }
    long kb = -1;
    const auto until = Clock::now() + std::chrono::seconds(120);
    while (Clock::now() < until) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return -1; // ended before the route did
        }
        const std::vector<std::string> seen = Activations(log);
        if (seen.size() >= kPath.size()) {
            if (seen == kPath) {
                // A few frames on the menu, as a player would stay there.
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                kb = ResidentKb(pid);
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (kb < 0) {
        kill(pid, SIGKILL);
    }
    Wait(pid);
    return kb;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void DemoRouteMemory(benchmark::State& state) {
    const fs::path root =
        fs::temp_directory_path() / ("kv_memory_bench_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    const fs::path tree = root / "game";
    fs::copy(KV_GAME_DIR, tree, fs::copy_options::recursive);
    std::vector<double> engine, minimal, ratio;
    int offRoute = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const long m = MinimalKb(root);
        const long e = EngineKb(tree);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (m <= 0) {
            state.SkipWithError("the minimal program failed");
            break;
        }
        if (e <= 0) {
            ++offRoute;
            continue;
        }
        engine.push_back(double(e) / 1024.0);
        minimal.push_back(double(m) / 1024.0);
        ratio.push_back(double(e) / double(m));
    }
    fs::remove_all(root);
    state.counters["engine_MB"] = Median(engine);
    state.counters["minimal_MB"] = Median(minimal);
    state.counters["ratio"] = Median(ratio);
    state.counters["off_route"] = offRoute;
}

} // namespace

BENCHMARK(DemoRouteMemory)->Iterations(5)->Unit(benchmark::kSecond)->UseManualTime();
