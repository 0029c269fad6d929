#include "platform/memory_blocks.h"

#include <sys/mman.h>

#include <cstdint>

namespace varnok::platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

}  // namespace

void* MapBlock(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  if (bytes < kHugePage) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
  }
  // Huge pages need an aligned start: map one huge page more and trim.
  const std::size_t size = RoundUp(bytes, kHugePage);
  void* raw = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = RoundUp(start, kHugePage);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::uintptr_t tail = aligned + size;
  const std::uintptr_t end = start + size + kHugePage;
  if (end > tail) ::munmap(reinterpret_cast<void*>(tail), end - tail);
  // Aligned, so that a system that gives huge pages to every mapping can use
  // them here; no MADV_HUGEPAGE: with the usual "defrag" setting it makes each
  // first touch wait for the kernel to compact memory into a free huge page,
  // which tripled the CPU time of loading a million connections.
  return reinterpret_cast<void*>(aligned);
}

void UnmapBlock(void* block, std::size_t bytes) {
  if (!block || bytes == 0) return;
  ::munmap(block, bytes < kHugePage ? bytes : RoundUp(bytes, kHugePage));
}

}  // namespace varnok::platform
