#pragma once
// The enabling rules of the window's commands, free of Qt: a plain snapshot
// of the window's state in, the enabled commands out. The command refresh
// fills the snapshot and applies the result; menus that open re-evaluate
// their own rows against the tool bar's current states.
#include <array>

#include "commands/command_id.h"

namespace varnok::app {

// What has the keyboard focus, in the order the editing commands look.
enum class FocusKind {
  None,
  Tree,
  MacroEditor,
  PopupEditor,
  SettingsField,  // Name, E-mail, Phone
  ScheduleField,  // the five schedule fields
  InPlaceEditor,  // the tree's name editor
};

enum class PageKind { Settings, Macro, Popup, Colors, Schedule };

struct CommandSnapshot {
  FocusKind focus = FocusKind::None;
  // The focused editor or field (not the tree).
  bool textCanUndo = false;
  int textLength = 0;
  int textSelectionLength = 0;

  // The tree.
  int nodeCount = 1;  // the top node included
  int selectedCount = 0;
  bool topSelected = false;
  bool topHasChildren = false;
  bool hasFocusedNode = false;
  bool focusedIsTop = false;
  bool focusedSelected = false;
  int focusedLevel = 0;
  bool focusedHasPreviousSibling = false;
  bool focusedHasNextSibling = false;
  bool focusedIsSeparator = false;
  bool allSelectedRunnable = false;  // every selected connection has a name and a macro

  bool clipboardHasText = false;
  bool clipboardHasNodes = false;

  // The pages.
  PageKind activePage = PageKind::Settings;
  bool macroPageShowsConnection = false;
  bool macroTextEmpty = true;  // after trimming
  bool macroHasSelection = false;
  bool popupPageShowsConnection = false;
  bool popupTextEmpty = true;  // after trimming
  bool colorsDifferFromParent = false;
  bool backgroundChosen = false;
  bool sampleColorsAllSame = true;

  bool documentModified = false;
  bool connectionModified = false;  // the pages hold unapplied edits
  bool treeCanUndo = false;         // the undo history of tree changes
  bool treeCanRedo = false;
  bool filterSet = false;  // the find filter shows part of the tree
};

// Whether each command is enabled, and for a disabled one the first rule it
// fails, in words a user understands ("Select exactly one connection").
class CommandStates {
 public:
  CommandStates();
  bool operator[](Command c) const { return reasons_[index(c)] == nullptr; }
  // Empty for an enabled command.
  const char* reason(Command c) const { return reasons_[index(c)] ? reasons_[index(c)] : ""; }
  // `why` nullptr: enabled.
  void set(Command c, const char* why) { reasons_[index(c)] = why; }
  void enable(Command c) { reasons_[index(c)] = nullptr; }

 private:
  static std::size_t index(Command c) { return static_cast<std::size_t>(c); }
  std::array<const char*, kCommandCount> reasons_;
};

// The tool bar's buttons and the page controls, by the rules in their order.
CommandStates ButtonStates(const CommandSnapshot& s);
// The main menu's items; items that follow a button take `buttons`.
CommandStates MenuStates(const CommandSnapshot& s, const CommandStates& buttons);

struct ContextMenuStates {
  CommandStates enabled;
  bool treeItemsShown = false;  // the items marked tree-only in the table
};
ContextMenuStates ContextStates(const CommandSnapshot& s, const CommandStates& buttons);

// "Select All" has something to select in the focused control.
bool CanSelectAll(const CommandSnapshot& s);

}  // namespace varnok::app
