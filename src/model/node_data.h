#pragma once
// The connection record: one per tree node, owned by the tree.
//
// Node kinds: the top node (Level 0, the local machine; its Name is empty and
// never read), connections, and separator lines (a Name that begins with "-";
// the program always writes kSeparatorName). Macro and PopupText hold the
// stored form of common/stored_text.h. Level is kept true by ConnectionTree:
// 0 for the top node, parent's Level + 1 below it; never set it by hand.
//
// The texts are std::pmr::string: those of a record in a tree live in the
// tree's memory (model/node_memory.h); a record made elsewhere, or copied out
// of a node, uses the general heap. Assigning keeps each text's own memory.
#include <cstdint>
#include <memory_resource>
#include <string>
#include <string_view>

namespace varnok {

struct rVTNodeData {
  std::pmr::string Name{};
  std::pmr::string Macro{};        // stored form (EncodeText)
  std::pmr::string PopupText{};    // stored form (EncodeText)
  std::pmr::string Schedule{};     // "" or "=" + five blank-separated fields
  std::pmr::string LastUpdated{};  // "" or "dddd, dd-mmm-yyyy hh:nn:ss"
  std::pmr::string Colors{};       // 18 decimals joined by ":"
  std::int32_t NodeType = 0;       // 0 never applied / top, 1 no macro, 2 macro, 3 made a separator
  std::int32_t Level = 0;
  bool StartLogging = false;

  bool operator==(const rVTNodeData&) const = default;
};

// An empty record whose texts will live in `memory` (filled there directly).
inline rVTNodeData EmptyRecordIn(std::pmr::memory_resource* memory) {
  return {std::pmr::string(memory), std::pmr::string(memory), std::pmr::string(memory),
          std::pmr::string(memory), std::pmr::string(memory), std::pmr::string(memory)};
}

// `data` with its texts in `memory` (moved where they are there already).
rVTNodeData RecordIn(rVTNodeData&& data, std::pmr::memory_resource* memory);

inline constexpr std::string_view kSeparatorName = "----- separator line -----";
inline constexpr std::int32_t kNodeTypeSeparator = 3;

inline bool IsSeparatorName(std::string_view name) { return !name.empty() && name.front() == '-'; }

}  // namespace varnok
