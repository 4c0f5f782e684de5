// Preloaded into a program that a benchmark starts (LD_PRELOAD): every buffer swap of the
// program, once it has returned, writes the CLOCK_MONOTONIC time in nanoseconds (8 bytes) to
// the file descriptor named by KV_SWAP_FD. The write never blocks; a full pipe drops times.
#include <SDL.h>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

using SwapFunction = void (*)(SDL_Window*);

int SwapFd() {
    const char* text = std::getenv("KV_SWAP_FD");
    const int fd = text != nullptr ? std::atoi(text) : -1;
    if (fd >= 0) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return fd;
}

} // namespace

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    static const auto real = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static const int fd = SwapFd();
    if (real != nullptr) {
        real(window);
    }
    if (fd >= 0) {
        timespec t{};
        clock_gettime(CLOCK_MONOTONIC, &t);
        const std::uint64_t ns = std::uint64_t(t.tv_sec) * 1000000000u + std::uint64_t(t.tv_nsec);
        // Nothing to do about a full pipe: the reader counts what arrives.
        [[maybe_unused]] const ssize_t written = write(fd, &ns, sizeof ns);
    }
}
