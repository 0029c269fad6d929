#include "model/node_memory.h"

#include <algorithm>
#include <new>

#include "platform/memory_blocks.h"

namespace varnok {
namespace {

constexpr std::size_t kLargestBlock = std::size_t{64} << 20;

}  // namespace

NodeMemory* NodeMemory::create() { return new NodeMemory(); }

void NodeMemory::release() {
  if (--users_ == 0) delete this;
}

NodeMemory::~NodeMemory() {
  for (const Block& b : blocks_) platform::UnmapBlock(b.start, b.bytes);
}

bool NodeMemory::holds(const void* p) const {
  const auto* c = static_cast<const char*>(p);
  return std::any_of(blocks_.begin(), blocks_.end(), [c](const Block& b) {
    const auto* start = static_cast<const char*>(b.start);
    return c >= start && c < start + b.bytes;
  });
}

void* NodeMemory::carve(std::size_t bytes) {
  if (static_cast<std::size_t>(end_ - cursor_) < bytes) {
    // The rest of the current block (less than one piece) stays unused.
    void* block = platform::MapBlock(nextBlock_);
    if (!block) throw std::bad_alloc();
    blocks_.push_back({block, nextBlock_});
    mapped_ += nextBlock_;
    cursor_ = static_cast<char*>(block);
    end_ = cursor_ + nextBlock_;
    nextBlock_ = std::min(nextBlock_ * 2, kLargestBlock);
  }
  void* p = cursor_;
  cursor_ += bytes;
  return p;
}

void* NodeMemory::do_allocate(std::size_t bytes, std::size_t alignment) {
  if (bytes > kLargestPooled || alignment > kGranule)
    return ::operator new (bytes, std::align_val_t{std::max(alignment, alignof(std::max_align_t))});
  const std::size_t size = std::max<std::size_t>((bytes + kGranule - 1) / kGranule, 1);
  inUse_ += size * kGranule;
  FreePiece*& head = free_[size - 1];
  if (head) {
    FreePiece* p = head;
    head = p->next;
    return p;
  }
  return carve(size * kGranule);
}

void NodeMemory::do_deallocate(void* p, std::size_t bytes, std::size_t alignment) {
  if (!p) return;
  if (bytes > kLargestPooled || alignment > kGranule) {
    ::operator delete (p, std::align_val_t{std::max(alignment, alignof(std::max_align_t))});
    return;
  }
  const std::size_t size = std::max<std::size_t>((bytes + kGranule - 1) / kGranule, 1);
  inUse_ -= size * kGranule;
  auto* piece = static_cast<FreePiece*>(p);
  piece->next = free_[size - 1];
  free_[size - 1] = piece;
}

}  // namespace varnok
