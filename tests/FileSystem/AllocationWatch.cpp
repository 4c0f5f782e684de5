#include "AllocationWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> g_watching{false};
std::atomic<std::size_t> g_largest{0};

} // namespace

void* operator new(std::size_t size) {
    if (g_watching) {
        std::size_t seen = g_largest;
        while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

// The non-throwing form allocates the same way, so that every delete matches its new.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace test {

std::size_t LargestAllocation(const std::function<void()>& run) {
    g_largest = 0;
    g_watching = true;
    run();
    g_watching = false;
    return g_largest;
}

} // namespace test
