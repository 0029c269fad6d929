#pragma once
// Large blocks of memory straight from the system, for the allocators that
// own a document's memory. Blocks of 2 MiB and more are aligned to huge pages,
// which a system that gives them to every mapping uses; they are not asked
// for (see the POSIX backend: asking makes the first touch wait for the
// kernel to compact memory).
#include <cstddef>

namespace varnok::platform {

// At least `bytes` bytes, zero-filled, aligned to 16; nullptr when the system
// has no memory left.
void* MapBlock(std::size_t bytes);
// Gives back a block from MapBlock with the same size.
void UnmapBlock(void* block, std::size_t bytes);

}  // namespace varnok::platform
