#include "Platform/Memory/Blocks.h"

#include "Platform/Gfx/Pixels.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <new>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Memory::AllocateBlock;
using Memory::BlockSize;
using Memory::FreeBlock;
using Memory::kMappedBlock;
using Memory::ReallocateBlock;

void Fill(void* block, std::size_t size, std::uint8_t seed) {
    auto* bytes = static_cast<std::uint8_t*>(block);
    for (std::size_t i = 0; i < size; i += 997) {
        bytes[i] = std::uint8_t(seed + i / 997);
    }
}

bool Holds(const void* block, std::size_t size, std::uint8_t seed) {
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    for (std::size_t i = 0; i < size; i += 997) {
        if (bytes[i] != std::uint8_t(seed + i / 997)) {
            return false;
        }
    }
    return true;
}

// Small blocks, blocks on either side of the mapped size and a block several times it: each
// keeps its bytes when grown (also across the mapped size) and when shrunk.
TEST(MemoryBlocks, KeepTheirBytesWhenResized) {
    for (const std::size_t size : {std::size_t(1), std::size_t(4096), kMappedBlock - 1,
                                   kMappedBlock, 3 * kMappedBlock + 5}) {
        SCOPED_TRACE(size);
        void* block = AllocateBlock(size);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u);
        EXPECT_EQ(BlockSize(block), size);
        Fill(block, size, 7);
        block = ReallocateBlock(block, size * 2 + kMappedBlock / 2);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(BlockSize(block), size * 2 + kMappedBlock / 2);
        EXPECT_TRUE(Holds(block, size, 7));
        block = ReallocateBlock(block, size / 2 + 1);
        EXPECT_EQ(BlockSize(block), size / 2 + 1);
        EXPECT_TRUE(Holds(block, size / 2 + 1, 7));
        static_cast<std::uint8_t*>(block)[size / 2] = 1; // the last byte is still there
        FreeBlock(block);
    }
    void* block = AllocateBlock(kMappedBlock);
    EXPECT_EQ(ReallocateBlock(block, SIZE_MAX), nullptr);
    EXPECT_EQ(BlockSize(block), kMappedBlock);
    FreeBlock(block);
    EXPECT_EQ(AllocateBlock(SIZE_MAX), nullptr);
    FreeBlock(nullptr);
}

bool Sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

// Resident memory of the process in bytes.
std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * std::size_t(sysconf(_SC_PAGESIZE));
}

// A block far larger than any picture (as a header that lies about its size asks for) takes
// resident memory only as it is written; a picture-sized one is resident at once, except under
// AddressSanitizer, whose allocator serves every block so that it can check it.
TEST(MemoryBlocks, OnlyPictureSizedBlocksAreResidentAtOnce) {
    Memory::ReleaseCachedBlocks();
    constexpr std::size_t kHuge = std::size_t(512) << 20;
    const std::size_t before = ResidentBytes();
    void* huge = AllocateBlock(kHuge);
    ASSERT_NE(huge, nullptr);
    EXPECT_LT(ResidentBytes(), before + kHuge / 4);
    static_cast<std::uint8_t*>(huge)[kHuge - 1] = 1;
    FreeBlock(huge);

    const std::size_t small = ResidentBytes();
    void* picture = AllocateBlock(16 * kMappedBlock);
    ASSERT_NE(picture, nullptr);
    if (!Sanitized()) {
        EXPECT_GE(ResidentBytes(), small + 15 * kMappedBlock);
    }
    FreeBlock(picture);
    Memory::ReleaseCachedBlocks();
}

// A freed mapped block is handed out again for a request of about its size, never for one much
// smaller; pixels made on a block that held other bytes read as zero all the same.
TEST(MemoryBlocks, ReuseFreedMappedBlocksOfTheirSize) {
    if (Sanitized()) {
        GTEST_SKIP() << "every block comes from the sanitizer's allocator";
    }
    Memory::ReleaseCachedBlocks();
    void* block = AllocateBlock(4 * kMappedBlock);
    std::memset(block, 0xAB, 4 * kMappedBlock);
    FreeBlock(block);
    void* small = AllocateBlock(2 * kMappedBlock);
    EXPECT_NE(small, block);
    const Gfx::Pixels pixels(4 * kMappedBlock - 100);
    EXPECT_EQ(pixels.data(), block);
    EXPECT_EQ(pixels[0] | pixels[pixels.size() - 1] | pixels[pixels.size() / 2], 0);
    FreeBlock(small);
    Memory::ReleaseCachedBlocks();
    EXPECT_THROW(Gfx::Pixels(SIZE_MAX / 2), std::bad_alloc);
}

TEST(GfxPixels, CopyDeeplyMoveAndShrink) {
    Gfx::Pixels a(2 * kMappedBlock);
    a[0] = 1;
    a[a.size() - 1] = 2;
    Gfx::Pixels b = a;
    b[0] = 9;
    EXPECT_EQ(a[0], 1);
    EXPECT_EQ(b[b.size() - 1], 2);
    Gfx::Pixels c = std::move(b);
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(c[0], 9);
    c.Shrink(kMappedBlock + 10);
    EXPECT_EQ(c.size(), kMappedBlock + 10);
    EXPECT_EQ(c[0], 9);
    c[kMappedBlock + 9] = 3; // the last byte kept is still there
    c.Shrink(0);
    EXPECT_TRUE(c.empty());
    EXPECT_TRUE(Gfx::Pixels(0).empty());
}

// Decoding threads allocate and free blocks while the user-interface thread frees the ones it
// has uploaded and gives the cached ones back to the system: no block is ever handed to two
// owners at once.
TEST(MemoryBlocks, AreSharedSafelyBetweenThreads) {
    std::atomic<bool> overlapped{false};
    std::atomic<int> running{4};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &overlapped, &running] {
            for (int i = 0; i < 40; ++i) {
                const std::size_t size = kMappedBlock + std::size_t(i % 3) * 4096;
                void* block = AllocateBlock(size);
                if (block == nullptr) {
                    overlapped = true;
                    break;
                }
                Fill(block, size, std::uint8_t(t * 50 + i));
                std::this_thread::yield();
                if (!Holds(block, size, std::uint8_t(t * 50 + i))) {
                    overlapped = true;
                }
                FreeBlock(block);
            }
            --running;
        });
    }
    while (running > 0) {
        Memory::ReleaseCachedBlocks();
        std::this_thread::yield();
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(overlapped);
}

} // namespace
