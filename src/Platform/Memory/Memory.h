#pragma once

// The process's memory as the system sees it.
namespace Memory {

// Gives the system back the pages of memory that was freed and that the allocator keeps for
// reuse: after a burst of large blocks (the pixels of a part's pictures, freed once uploaded)
// the process then holds no more than it uses. The freed picture blocks kept for reuse
// (Memory/Blocks.h) go back too. Reusing those pages would have been cheaper than
// fresh ones, so call it after such bursts only. Any thread.
void ReturnFreedPages();

} // namespace Memory
