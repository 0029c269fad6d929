#pragma once
// Large blocks of memory straight from the system, for the allocators that
// own a document's memory. Where the system offers transparent huge pages the
// blocks are aligned and flagged for them, so that filling a block costs a
// handful of page faults instead of one per 4 KiB.
#include <cstddef>
#include <memory_resource>

namespace varnok::platform {

// At least `bytes` bytes, zero-filled, aligned to 16; nullptr when the system
// has no memory left.
void* MapBlock(std::size_t bytes);
// Gives back a block from MapBlock with the same size.
void UnmapBlock(void* block, std::size_t bytes);

// Every allocation a block of its own: for a few large buffers that live
// briefly, such as a file read whole.
class BlockResource final : public std::pmr::memory_resource {
 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override;
  void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override;
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

}  // namespace varnok::platform
