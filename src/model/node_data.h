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

// NodeType, what the last Apply or conversion made of a node. The numbers are
// the ones stored in .VNK files; a file may hold any other, which is kept.
enum class StoredNodeType : std::int32_t {
  NeverApplied = 0,  // the top node, and nodes never applied (imports)
  NoMacro = 1,       // applied with an empty macro
  Macro = 2,         // applied with a macro
  Separator = 3,     // made a separator line
};

struct rVTNodeData {
  std::pmr::string Name{};
  std::pmr::string Macro{};        // stored form (EncodeText)
  std::pmr::string PopupText{};    // stored form (EncodeText)
  std::pmr::string Schedule{};     // "" or "=" + five blank-separated fields
  std::pmr::string LastUpdated{};  // "" or "dddd, dd-mmm-yyyy hh:nn:ss"
  std::pmr::string Colors{};       // 18 decimals joined by ":"
  StoredNodeType NodeType = StoredNodeType::NeverApplied;
  std::int32_t Level = 0;
  bool StartLogging = false;

  bool operator==(const rVTNodeData&) const = default;
};

// The same record without owning its texts (a node's, or one in a file's bytes).
struct rVTNodeView {
  std::string_view Name, Macro, PopupText, Schedule, LastUpdated, Colors;
  StoredNodeType NodeType = StoredNodeType::NeverApplied;
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

inline bool IsSeparatorName(std::string_view name) { return !name.empty() && name.front() == '-'; }

}  // namespace varnok
