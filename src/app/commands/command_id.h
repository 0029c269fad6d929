#pragma once
// Every command of the window, and the two page controls whose enabled state
// the command refresh also decides. The order is the order of the command
// table (command_table.cpp).
#include <bitset>
#include <cstddef>

namespace varnok::app {

enum class Command : std::size_t {
  // File
  New,
  Open,
  Save,
  SaveAs,
  ImportConnection,
  ImportFromTools,
  ExportConnection,
  ImportTemplate,
  ImportMacro,
  ExportMacro,
  Close,
  // Edit
  Undo,
  Cut,
  Copy,
  Paste,
  SelectAll,
  // Connection
  AddChild,
  AddSibling,
  Duplicate,
  Delete,
  AddSeparator,
  MoveUp,
  MoveDown,
  UndoTreeChange,
  RedoTreeChange,
  ExpandAll,
  CollapseAll,
  Apply,
  // Actions
  RunToCursor,
  Run,
  RunBranchToCursor,
  RunBranch,
  RunAllSelected,
  PreviewBranchMacro,
  ShowPopup,
  // Help
  VarnokHelp,
  CorvaneHelp,
  MacroHelp,
  License,
  About,
  // Controls of the Colors page
  SetParentColors,
  SetSameBackground,
  Count_
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::Count_);

// A set of commands (enabled ones, commands with a handler, ...).
class CommandFlags {
 public:
  bool operator[](Command c) const { return bits_[static_cast<std::size_t>(c)]; }
  void set(Command c, bool on = true) { bits_[static_cast<std::size_t>(c)] = on; }
  bool operator==(const CommandFlags&) const = default;

 private:
  std::bitset<kCommandCount> bits_;
};

}  // namespace varnok::app
