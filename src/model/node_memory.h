#pragma once
// The memory of a tree's nodes and of the texts in their records.
//
// Small pieces (up to kLargestPooled bytes) are carved from large blocks
// mapped from the system (see platform/memory_blocks.h), so a load of
// many connections fills a few blocks instead of touching the general heap
// once per text. A freed piece goes on a free list of its size class and is
// taken again by the next request of that class: edits reuse the space they
// free, and memory grows only with the peak of what is alive at once, never
// with the number of edits. Larger pieces come from the general heap.
//
// The memory lives as long as anything uses it: the tree that owns it and
// every node created in it, also nodes removed from the tree and kept by the
// undo history. When the last of them is gone, the blocks go back to the
// system as a whole. Nodes are created and destroyed on one thread.
#include <array>
#include <cstddef>
#include <memory_resource>
#include <vector>

namespace varnok {

class NodeMemory final : public std::pmr::memory_resource {
 public:
  static constexpr std::size_t kLargestPooled = 1024;

  // A fresh memory held once (by the caller); release() lets go of it.
  static NodeMemory* create();
  NodeMemory(const NodeMemory&) = delete;
  NodeMemory& operator=(const NodeMemory&) = delete;

  void retain() { ++users_; }
  void release();  // the last release gives the blocks back

  // Bytes taken from the system in blocks, and bytes handed out and not yet
  // given back (pooled pieces counted at their class size).
  std::size_t mappedBytes() const { return mapped_; }
  std::size_t pooledBytesInUse() const { return inUse_; }
  // Whether `p` lies in one of the blocks (a pooled piece of this memory).
  bool holds(const void* p) const;

 private:
  NodeMemory() = default;
  ~NodeMemory() override;

  void* do_allocate(std::size_t bytes, std::size_t alignment) override;
  void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override;
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

  static constexpr std::size_t kGranule = 16;
  struct FreePiece {
    FreePiece* next;
  };
  struct Block {
    void* start;
    std::size_t bytes;
  };

  void* carve(std::size_t bytes);

  std::array<FreePiece*, kLargestPooled / kGranule> free_{};
  char* cursor_ = nullptr;
  char* end_ = nullptr;
  std::vector<Block> blocks_;
  std::size_t nextBlock_ = std::size_t{2} << 20;
  std::size_t mapped_ = 0;
  std::size_t inUse_ = 0;
  std::size_t users_ = 1;
};

// Holds a NodeMemory for its lifetime (the tree's share of it).
class NodeMemoryHandle {
 public:
  NodeMemoryHandle() : memory_(NodeMemory::create()) {}
  ~NodeMemoryHandle() { memory_->release(); }
  NodeMemoryHandle(const NodeMemoryHandle&) = delete;
  NodeMemoryHandle& operator=(const NodeMemoryHandle&) = delete;
  NodeMemory* get() const { return memory_; }
  // Lets go of the current memory and takes a fresh one.
  void renew() {
    NodeMemory* fresh = NodeMemory::create();
    memory_->release();
    memory_ = fresh;
  }

 private:
  NodeMemory* memory_;
};

}  // namespace varnok
