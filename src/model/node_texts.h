#pragma once
// The six texts of a node's record packed into one piece of memory, one after
// the other: Name, Macro, PopupText, Schedule, LastUpdated, Colors. Only the
// end of each text is kept beside the pointer, so the texts cost 32 bytes of
// the node plus their bytes (one allocation per node, not six strings).
//
// The piece comes from the node's memory (nullptr: the general heap), which
// the owner passes to every call; assign() and release() give the old piece
// back. Views handed out stay valid until the next assign() or release().
#include <array>
#include <cstdint>
#include <string_view>

#include "model/node_memory.h"

namespace varnok {

class NodeTexts {
 public:
  enum Field { kName, kMacro, kPopupText, kSchedule, kLastUpdated, kColors, kFieldCount };
  using Texts = std::array<std::string_view, kFieldCount>;

  NodeTexts() = default;
  NodeTexts(const NodeTexts&) = delete;
  NodeTexts& operator=(const NodeTexts&) = delete;

  std::string_view get(Field field) const {
    const std::uint32_t begin = field == kName ? 0 : ends_[field - 1];
    return {bytes_ + begin, ends_[field] - begin};
  }
  bool empty(Field field) const { return ends_[field] == (field == kName ? 0 : ends_[field - 1]); }
  std::uint32_t totalBytes() const { return ends_[kColors]; }

  // Stores copies of `texts`; they may be views into the current piece.
  void assign(const Texts& texts, NodeMemory* memory);
  // Gives the piece back; the texts are empty afterwards.
  void release(NodeMemory* memory);

 private:
  char* bytes_ = nullptr;
  std::array<std::uint32_t, kFieldCount> ends_{};
};

}  // namespace varnok
