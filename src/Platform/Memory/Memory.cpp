#include "Platform/Memory/Memory.h"

#include "Platform/Memory/Blocks.h"

#include <malloc.h>

namespace Memory {

void ReturnFreedPages() {
    // Every arena of the allocator, the worker threads' too. The result only says whether any
    // page went back, which is no failure either way.
    malloc_trim(0);
    ReleaseCachedBlocks();
}

} // namespace Memory
