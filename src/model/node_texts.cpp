#include "model/node_texts.h"

#include <cstring>
#include <limits>
#include <new>

namespace varnok {
namespace {

char* Allocate(std::size_t bytes, NodeMemory* memory) {
  return static_cast<char*>(memory ? memory->allocate(bytes, 1) : ::operator new(bytes));
}

void Free(char* p, std::size_t bytes, NodeMemory* memory) {
  if (!p) return;
  if (memory)
    memory->deallocate(p, bytes, 1);
  else
    ::operator delete(p);
}

}  // namespace

void NodeTexts::assign(const Texts& texts, NodeMemory* memory) {
  std::size_t total = 0;
  for (std::string_view t : texts) total += t.size();
  // The file format counts each text in 32 bits; a record beyond that cannot be stored.
  if (total > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("record too large");
  char* fresh = total ? Allocate(total, memory) : nullptr;
  std::array<std::uint32_t, kFieldCount> ends{};
  std::size_t at = 0;
  for (std::size_t f = 0; f < texts.size(); ++f) {
    if (!texts[f].empty()) std::memcpy(fresh + at, texts[f].data(), texts[f].size());
    at += texts[f].size();
    ends[f] = static_cast<std::uint32_t>(at);
  }
  // Copied before the old piece goes: the texts may have been views into it.
  Free(bytes_, totalBytes(), memory);
  bytes_ = fresh;
  ends_ = ends;
}

void NodeTexts::release(NodeMemory* memory) {
  Free(bytes_, totalBytes(), memory);
  bytes_ = nullptr;
  ends_ = {};
}

}  // namespace varnok
