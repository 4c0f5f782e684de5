#include "Platform/Memory/Blocks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

// Under AddressSanitizer every block comes from malloc, so that the sanitizer sees an overflow
// inside a picture of any size; a mapping of its own would be a blind spot.
#if defined(__SANITIZE_ADDRESS__)
#define KV_BLOCKS_FROM_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_BLOCKS_FROM_MALLOC 1
#endif
#endif

namespace Memory {

namespace {

#ifdef KV_BLOCKS_FROM_MALLOC
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif

// About the pixels a few decoding threads have in hand at once: the most the cache keeps, and the
// largest block made resident in one call. A larger one (a picture whose header claims a huge
// size, say) gets its pages as they are touched, so a lie costs no more than what is written.
constexpr std::size_t kMostCachedBytes = std::size_t(64) << 20;

// Every block starts with this record; the caller's bytes follow it, 16-byte aligned on both
// kinds of memory.
struct alignas(16) Header {
    std::size_t size;   // the caller's bytes
    std::size_t mapped; // the length of the mapping, 0 for a block from malloc
};

std::size_t PageSize() {
    static const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    return page;
}

std::size_t MappingFor(std::size_t size) {
    const std::size_t page = PageSize();
    return (sizeof(Header) + size + page - 1) / page * page;
}

Header* HeaderOf(const void* block) {
    return static_cast<Header*>(const_cast<void*>(block)) - 1;
}

// A munmap of a whole mapping made here cannot fail; one that cuts a mapping in two can (the
// system's limit on mappings), and the block then simply keeps its pages.
bool Unmap(void* start, std::size_t length) {
    return munmap(start, length) == 0;
}

// Mapped blocks freed since the last ReleaseCachedBlocks, kept for reuse: a part's pictures are
// decoded on several threads at once, and mapping and unmapping blocks for each of them would
// have those threads wait on each other in the system's memory map.
class Cache {
public:
    // A cached mapping of at least `length` bytes and at most a quarter more, or nullptr.
    Header* Take(std::size_t length) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::size_t best = blocks_.size();
        for (std::size_t i = 0; i < blocks_.size(); ++i) {
            const std::size_t mapped = blocks_[i]->mapped;
            if (mapped >= length && mapped - length <= length / 4 &&
                (best == blocks_.size() || mapped < blocks_[best]->mapped)) {
                best = i;
            }
        }
        if (best == blocks_.size()) {
            return nullptr;
        }
        Header* header = blocks_[best];
        blocks_[best] = blocks_.back();
        blocks_.pop_back();
        bytes_ -= header->mapped;
        return header;
    }

    // False when the cache is full and the caller is to unmap the block.
    bool Put(Header* header) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (bytes_ + header->mapped > kMostCachedBytes) {
            return false;
        }
        blocks_.push_back(header);
        bytes_ += header->mapped;
        return true;
    }

    std::vector<Header*> TakeAll() {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes_ = 0;
        return std::exchange(blocks_, {});
    }

private:
    std::mutex mutex_;
    std::vector<Header*> blocks_;
    std::size_t bytes_ = 0;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

Header* Map(std::size_t size) {
    const std::size_t length = MappingFor(size);
    if (Header* header = TheCache().Take(length)) {
        return header;
    }
    const int resident = length <= kMostCachedBytes ? MAP_POPULATE : 0;
    void* map = mmap(nullptr, length, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | resident, -1, 0);
    if (map == MAP_FAILED) {
        return nullptr;
    }
    auto* header = static_cast<Header*>(map);
    header->mapped = length;
    return header;
}

} // namespace

void* AllocateBlock(std::size_t size) {
    if (size > SIZE_MAX / 2) {
        return nullptr;
    }
    Header* header = nullptr;
    if (kMapLargeBlocks && size >= kMappedBlock) {
        header = Map(size);
    } else if ((header = static_cast<Header*>(std::malloc(sizeof(Header) + size))) != nullptr) {
        header->mapped = 0;
    }
    if (header == nullptr) {
        return nullptr;
    }
    header->size = size;
    return header + 1;
}

void* ReallocateBlock(void* block, std::size_t size) {
    if (block == nullptr) {
        return AllocateBlock(size);
    }
    const std::size_t old = HeaderOf(block)->size;
    if (size <= old) {
        ShrinkBlock(block, size);
        return block;
    }
    void* grown = AllocateBlock(size);
    if (grown != nullptr) {
        std::memcpy(grown, block, old);
        FreeBlock(block);
    }
    return grown;
}

void FreeBlock(void* block) {
    if (block == nullptr) {
        return;
    }
    Header* header = HeaderOf(block);
    if (header->mapped == 0) {
        std::free(header);
    } else if (!TheCache().Put(header)) {
        Unmap(header, header->mapped);
    }
}

std::size_t BlockSize(const void* block) {
    return block == nullptr ? 0 : HeaderOf(block)->size;
}

void ShrinkBlock(void* block, std::size_t size) {
    Header* header = HeaderOf(block);
    if (size >= header->size) {
        return;
    }
    header->size = size;
    const std::size_t length = MappingFor(size);
    if (header->mapped > length &&
        Unmap(reinterpret_cast<std::uint8_t*>(header) + length, header->mapped - length)) {
        header->mapped = length;
    }
}

void ReleaseCachedBlocks() {
    for (Header* header : TheCache().TakeAll()) {
        Unmap(header, header->mapped);
    }
}

} // namespace Memory
