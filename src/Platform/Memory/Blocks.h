#pragma once

#include <cstddef>

// Blocks the size of a decoded picture. A block of kMappedBlock bytes or more is a mapping of its
// own, its pages made resident in one call when it is no larger than the cache's bound: touching
// fresh pages one by one costs a fault each (under some virtual machines ten times what the one
// call costs). Under AddressSanitizer every block comes from malloc, where the sanitizer checks
// it. A freed one is kept for reuse
// until ReleaseCachedBlocks, which gives it back to the system; from malloc, the blocks that
// decoding threads free would stay with those threads' allocator arenas, unused, for the life of
// the process. Smaller blocks come from malloc. Every block is aligned as malloc aligns, and may
// be used and freed on any thread.
namespace Memory {

constexpr std::size_t kMappedBlock = std::size_t(1) << 20;

// A block of `size` bytes, uninitialised; nullptr when there is no memory for it.
void* AllocateBlock(std::size_t size);
// The block resized to `size` bytes, its first bytes kept, as realloc does; nullptr (the old
// block untouched) when there is no memory. A null block allocates.
void* ReallocateBlock(void* block, std::size_t size);
// Null does nothing.
void FreeBlock(void* block);
// The size the block was last given.
std::size_t BlockSize(const void* block);
// Shortens a block to `size` bytes (never lengthens it); the whole pages past the new end of a
// mapped block go back to the system.
void ShrinkBlock(void* block, std::size_t size);

// Gives the freed mapped blocks kept for reuse back to the system.
void ReleaseCachedBlocks();

} // namespace Memory
