#pragma once
// The connection record: one per tree node, owned by the tree.
//
// Node kinds: the top node (Level 0, the local machine; its Name is empty and
// never read), connections, and separator lines (a Name that begins with "-";
// the program always writes kSeparatorName). Macro and PopupText hold the
// stored form of common/stored_text.h. Level is kept true by ConnectionTree:
// 0 for the top node, parent's Level + 1 below it; never set it by hand.
//
// rVTNodeData owns its texts: what a caller fills to create or change a node,
// or keeps (the undo history). A node in a tree stores its texts packed in the
// tree's memory (model/node_texts.h) and hands them out as an rVTNodeView,
// whose texts are views valid until the node is changed or destroyed.
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

// The same record without owning its texts (a node's, or one in a file's bytes).
struct rVTNodeView {
  std::string_view Name, Macro, PopupText, Schedule, LastUpdated, Colors;
  std::int32_t NodeType = 0;
  std::int32_t Level = 0;
  bool StartLogging = false;

  // A copy that owns its texts (on the general heap).
  operator rVTNodeData() const {
    return {std::pmr::string(Name),
            std::pmr::string(Macro),
            std::pmr::string(PopupText),
            std::pmr::string(Schedule),
            std::pmr::string(LastUpdated),
            std::pmr::string(Colors),
            NodeType,
            Level,
            StartLogging};
  }
  bool operator==(const rVTNodeView&) const = default;
};

inline rVTNodeView ViewOf(const rVTNodeData& d) {
  return {d.Name,   d.Macro,    d.PopupText, d.Schedule,    d.LastUpdated,
          d.Colors, d.NodeType, d.Level,     d.StartLogging};
}

inline constexpr std::string_view kSeparatorName = "----- separator line -----";
inline constexpr std::int32_t kNodeTypeSeparator = 3;

inline bool IsSeparatorName(std::string_view name) { return !name.empty() && name.front() == '-'; }

}  // namespace varnok
