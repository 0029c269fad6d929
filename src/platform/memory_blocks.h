#pragma once
// Large blocks of memory straight from the system, for the allocators that
// own a document's memory. Where the system offers transparent huge pages the
// blocks are aligned and flagged for them, so that filling a block costs a
// handful of page faults instead of one per 4 KiB.
#include <cstddef>

namespace varnok::platform {

// At least `bytes` bytes, zero-filled, aligned to 16; nullptr when the system
// has no memory left.
void* MapBlock(std::size_t bytes);
// Gives back a block from MapBlock with the same size.
void UnmapBlock(void* block, std::size_t bytes);

}  // namespace varnok::platform
